// The page on a phone and zoomed: the reading layout's column played by taps, with every target
// a finger's size and the page still after each scene; text that grows with every zoom step, and
// the layout switch.
"use strict";

const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");
const { after, before, test } = require("node:test");
const { openGame, startSite, stopSite } = require("./harness.js");

const kReplays = path.resolve(__dirname, "../../tools/screenshots");

let server;
let browser;
before(async () => ({ server, browser } = await startSite()));
after(() => stopSite({ server, browser }));

const phone = (width, height) => ({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });

// Every control the player could tap now, with its text size, box and colour, and whether the
// page scrolls sideways.
function measure(page) {
  return page.evaluate(() => {
    const shown = (element) => getComputedStyle(element).display !== "none";
    const of = (id) => {
      const element = document.getElementById(id);
      const style = getComputedStyle(element);
      const box = element.getBoundingClientRect();
      return { id, font: parseFloat(style.fontSize), height: box.height, colour: style.color };
    };
    // Everything a finger can tap, shown now: the game's controls, the language link, the
    // layout switch and any open box's buttons.
    const small = [...document.querySelectorAll(".clickable, button, a[href], [role=button]")]
      .filter((element) => element.getClientRects().length > 0 && getComputedStyle(element).visibility === "visible")
      .map((element) => [element.id || element.textContent, element.getBoundingClientRect()])
      .filter(([, box]) => box.width < 44 || box.height < 44)
      .map(([name, box]) => `${name} ${box.width.toFixed(1)}×${box.height.toFixed(1)}`);
    // In a fight, the Attack button and the items held that are not wholly on the screen.
    const attack = document.getElementById("Attack");
    const offScreen = !shown(attack)
      ? []
      : [attack, ...["Item1", "Item2", "Item3", "Item4"].map((id) => document.getElementById(id)).filter(shown)]
          .filter((element) => {
            const box = element.getBoundingClientRect();
            return box.top < 0 || box.bottom > window.innerHeight;
          })
          .map((element) => element.id);
    return {
      small,
      offScreen,
      scrolled: window.scrollY,
      layout: document.documentElement.dataset.layout,
      info: shown(document.getElementById("Info")) ? of("Info") : null,
      choices: ["R1", "R2", "R3", "R4", "R5"].filter((id) => shown(document.getElementById(id))).map(of),
      sideways: document.documentElement.scrollWidth > window.innerWidth,
    };
  });
}

// Puppeteer scrolls the control into view and touches its middle as the screen shows it, through
// the visual viewport a phone may move within the page.
async function tap(page, name) {
  const control = await page.$("#" + name);
  assert.ok(await control.isVisible(), name + " can be tapped");
  await control.tap();
}

const shown = (page, name) =>
  page.$eval("#" + name, (element) => getComputedStyle(element).display !== "none");

for (const [orientation, size] of [
  ["portrait", phone(390, 844)],
  ["small portrait", phone(360, 640)],
  ["landscape", phone(844, 390)],
]) {
  test(`a phone in ${orientation} plays by taps through a fight and the items to the way out`, { timeout: 120000 }, async () => {
    const page = await openGame(browser, server.url + "?seed=7", size);
    const title = await measure(page);
    assert.equal(title.layout, "reading");
    assert.deepEqual(title.small, [], "every target on the title is a finger's size");
    const clicks = fs
      .readFileSync(path.join(kReplays, "victory.replay"), "utf8")
      .split("\n")
      .map((line) => line.trim().split(/\s+/))
      .filter(([verb]) => verb === "click")
      .map(([, name]) => name);
    let blows = 0;
    let items = 0;
    for (const name of clicks) {
      if (!(await shown(page, name))) {
        assert.equal(name, "Attack", name + " is there to be tapped");
        continue;
      }
      // A choice tapped at the top of the page leaves the page there: the new scene does not
      // scroll it, nor clip the language link above the life bar.
      const atTop = await page.$eval("#" + name, (control) => {
        const box = control.getBoundingClientRect();
        return window.scrollY === 0 && box.top >= 0 && box.bottom <= window.innerHeight;
      });
      await tap(page, name);
      if (name === "Attack") blows += 1;
      if (name.startsWith("Item")) items += 1;
      const now = await measure(page);
      assert.equal(now.sideways, false, "nothing scrolls sideways after " + name);
      assert.deepEqual(now.small, [], "every target is a finger's size after " + name);
      if (orientation === "landscape") {
        assert.deepEqual(now.offScreen, [], "the Attack button and the items are in view after " + name);
      }
      if (atTop) assert.equal(now.scrolled, 0, "the page stays at its top after " + name);
      if (now.info) assert.ok(now.info.font >= 16, "the passage is " + now.info.font + " px");
      for (const choice of now.choices) {
        assert.ok(choice.font >= 16, choice.id + " is " + choice.font + " px");
        assert.ok(choice.height >= 44, choice.id + " is " + choice.height + " px tall");
        // A finger does not hover: the tap leaves no light on the next screen's choices.
        assert.equal(choice.colour, "rgb(0, 128, 0)", choice.id + " is not lit after a tap");
      }
    }
    assert.ok(blows >= 3 && items === 2, `${blows} blows, ${items} items`);
    assert.equal(await shown(page, "R1"), false, "the way out offers no choice");
    // The life bar stays in view wherever the column is scrolled.
    await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
    const life = await page.$eval("#Life", (label) => label.getBoundingClientRect().toJSON());
    assert.ok(life.top >= 0 && life.bottom <= size.height, "the life bar is in view");
    assert.deepEqual(page.problems, []);
    await page.close();
  });
}

test("every zoom step from 100% enlarges the text on the screen, and the layout switch is obeyed and remembered", { timeout: 120000 }, async () => {
  // A browser's zoom shrinks the viewport in CSS px and raises the pixels per CSS px alike. The
  // passage's size on the screen, in device pixels, must grow at each step.
  let previous = 0;
  for (const zoom of [1, 1.1, 1.25, 1.5, 2.5]) {
    const size = { width: Math.floor(1280 / zoom), height: Math.floor(800 / zoom), deviceScaleFactor: zoom };
    const page = await openGame(browser, server.url + "?seed=7", size);
    await page.click("#Start");
    await page.click("#R1");
    const onScreen = await page.$eval("#Info", (info) => {
      const scale = info.getBoundingClientRect().width / info.offsetWidth;
      return parseFloat(getComputedStyle(info).fontSize) * scale * window.devicePixelRatio;
    });
    const { layout } = await measure(page);
    if (zoom === 1 || zoom === 2.5) assert.equal(layout, zoom === 1 ? "window" : "reading");
    assert.ok(onScreen > previous * 1.05, `at ${zoom * 100}% the passage is ${onScreen} device px, after ${previous}`);
    previous = onScreen;
    await page.close();
  }

  const page = await openGame(browser, server.url, phone(390, 844));
  await page.click('#layout-switch [data-layout="window"]');
  assert.equal((await measure(page)).layout, "window");
  await page.reload();
  await page.waitForFunction(() => document.documentElement.dataset.ready === "true");
  assert.equal((await measure(page)).layout, "window", "the choice outlives a reload");
  await page.click('#layout-switch [data-layout="reading"]');
  assert.equal((await measure(page)).layout, "reading");
  await page.close();
});
