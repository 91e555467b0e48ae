// Which of the page's two layouts shows the game: the window's stage, drawn 1:1 or scaled down
// evenly, or the reading layout's single column (reading-layout.css). The column is chosen by
// itself wherever the stage would have to shrink, on a phone, in a narrow window or a zoomed
// page, so that zooming in makes the text larger from the first step rather than shrinking the
// stage to the same size on the screen; the player's own choice from the switch wins and is
// remembered.
// Both show the same controls of the same game: only the style sheet differs.
"use strict";

(function () {
  const kKey = "tovik-layout";
  const root = document.documentElement;
  const panel = document.getElementById("layout-switch");

  function remembered() {
    try {
      const choice = window.localStorage.getItem(kKey);
      return choice === "window" || choice === "reading" ? choice : null;
    } catch (error) {
      return null; // storage blocked: the choice lasts as long as the page
    }
  }
  let chosen = remembered();

  // The stage's size, once the engine has said it.
  function stageSize(name, otherwise) {
    return parseFloat(getComputedStyle(root).getPropertyValue(name)) || otherwise;
  }
  function automatic() {
    const scale = Math.min(
      1,
      window.innerWidth / stageSize("--stage-width", 1024),
      window.innerHeight / stageSize("--stage-height", 768)
    );
    return scale < 1 ? "reading" : "window";
  }

  function apply() {
    const layout = chosen || automatic();
    const reading = layout === "reading";
    if (root.classList.contains("reading") !== reading) {
      root.classList.toggle("reading", reading);
      if (reading) window.scrollTo(0, 0);
    }
    root.dataset.layout = layout;
    for (const button of panel.querySelectorAll("button[data-layout]")) {
      button.setAttribute("aria-pressed", String(button.dataset.layout === layout));
    }
  }

  panel.addEventListener("click", (event) => {
    const button = event.target.closest("button[data-layout]");
    if (!button) return;
    chosen = button.dataset.layout;
    try {
      window.localStorage.setItem(kKey, chosen);
    } catch (error) {
      // kept for this page only
    }
    apply();
  });
  window.addEventListener("resize", apply);
  apply();
  panel.hidden = false;

  // A new scene puts the focus on the game's area, where its passage is read; in the column the
  // passage is also brought into view under the life bar when the old one had been scrolled
  // away, at the very top of the page where it starts near enough, with the language link. A
  // passage already in view stays where it is: the page does not jump.
  const stage = document.getElementById("stage");
  stage.addEventListener("focusin", (event) => {
    if (!root.classList.contains("reading") || event.target !== stage) return;
    const passage = document.getElementById("Info");
    const bar = document.getElementById("Life").getBoundingClientRect();
    const top = passage.getBoundingClientRect().top;
    const nearTop = window.innerHeight * 0.6;
    if (top >= bar.bottom && top <= nearTop) return;
    if (top + window.scrollY <= nearTop) window.scrollTo(0, 0);
    else passage.scrollIntoView({ block: "start" });
  });
})();
