// The page's narrator: for a player without a screen reader, it reads aloud through the browser's
// own speech the lines the engine gives the screen reader, in the language played. Its switch,
// «Читать вслух», sits beside the layout switch and is remembered. A page cannot tell whether a
// screen reader is running, so the switch's description says the two do not go together, and the
// narrator is off until the player turns it on.
"use strict";

window.tovikNarrator = (function () {
  const kKey = "tovik-read-aloud";
  // Voices may be listed a moment after the page first asks for them.
  const kVoicesWaitMs = 1500;
  const speech =
    "speechSynthesis" in window && "SpeechSynthesisUtterance" in window ? window.speechSynthesis : null;
  const button = document.getElementById("read-aloud");
  const notice = document.getElementById("read-aloud-notice");
  let words = null;
  let language = "ru";
  let voice = null;
  let on = false;

  function remembered() {
    try {
      return window.localStorage.getItem(kKey) === "on";
    } catch (error) {
      return false; // storage blocked: the switch lasts as long as the page
    }
  }
  function remember() {
    try {
      window.localStorage.setItem(kKey, on ? "on" : "off");
    } catch (error) {
      // kept for this page only
    }
  }

  function voices() {
    if (speech.getVoices().length > 0) return Promise.resolve(speech.getVoices());
    return new Promise((resolve) => {
      const done = () => resolve(speech.getVoices());
      speech.addEventListener("voiceschanged", done, { once: true });
      setTimeout(done, kVoicesWaitMs);
    });
  }
  // A voice of the language played, one on this device before one over the network.
  function voiceFor(list) {
    const ours = list.filter((candidate) => candidate.lang.toLowerCase().replace("_", "-").split("-")[0] === language);
    return ours.find((candidate) => candidate.localService) || ours[0] || null;
  }

  // Why the page stays silent, on screen beside the switch and, as a status, to a screen reader.
  function tell(text) {
    notice.textContent = text;
    notice.hidden = !text;
  }

  function say(text) {
    if (!on || !voice || !text) return;
    const line = new SpeechSynthesisUtterance(text);
    line.voice = voice;
    line.lang = voice.lang;
    speech.speak(line); // after what is being said: a banner waits for the passage
  }

  async function switchTo(value, byPlayer) {
    on = value;
    button.setAttribute("aria-pressed", String(on));
    if (byPlayer) remember();
    if (!on) {
      if (speech) speech.cancel();
      tell("");
      return;
    }
    if (!speech) {
      tell(words["no-speech"]);
      return;
    }
    voice = voiceFor(await voices());
    if (!on) return; // switched off again while the voices were coming
    if (!voice) {
      tell(words["no-voice"]);
      return;
    }
    tell("");
    if (byPlayer) say(words["read-aloud-on"]);
  }

  button.addEventListener("click", () => switchTo(!on, true));

  return {
    // Once the engine is up: the page's words in the language played, and the switch as the
    // player left it.
    start(pageWords, code) {
      words = pageWords;
      language = code;
      button.textContent = words["read-aloud"];
      document.getElementById("read-aloud-note").textContent = words["read-aloud-note"];
      button.hidden = false;
      if (remembered()) switchTo(true, false);
    },
    toggle() {
      switchTo(!on, true);
    },
    say,
    // A key: what is being read stops, as a screen reader's speech does.
    interrupt() {
      if (speech && on) speech.cancel();
    },
  };
})();
