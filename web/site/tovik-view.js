// The page's view of the game. It builds one element for each control of the game window from
// the engine's layout table, forwards every click, pointer move, timer tick and exit answer to
// the engine, and after each draws the window model as it stands. Every rule of the game stays
// in the engine (tovik.js / tovik.wasm), and so do the keyboard's rules and what a screen reader
// is told: the page forwards each key and shows the focus and the words the engine decides on.
"use strict";

(function () {
  if (!window.tovikLoader || !tovikLoader.usable) return; // the loader has said why
  const stage = document.getElementById("stage");
  // The controls sit in a named application of their own inside the game's area: a screen
  // reader that comes to the area says that name rather than the text of every control. The
  // area itself stays unnamed, or the reader would take it as one whole and not enter it.
  const board = document.getElementById("board");
  const exitBox = document.getElementById("exit-question");
  const exitYes = document.getElementById("exit-yes");
  const exitNo = document.getElementById("exit-no");
  const closedBox = document.getElementById("closed");
  const startAgain = document.getElementById("start-again");

  const hex = (rgb) => "#" + rgb.toString(16).padStart(6, "0");

  // ---- Sound: the browser's audio plays what the engine tells it, and nothing more. ----
  const sound = {
    context: null,
    buffers: new Map(), // path -> Promise<AudioBuffer | null>, null for a file it cannot play
    loaded: new Map(), // path -> AudioBuffer, once decoded
    blip: null, // the built-in blip, decoded
    playing: null,
    defaultWav: null, // bytes of the blip, from the engine
  };

  // Browsers hold audio back until the player has done something; until then sounds are
  // skipped quietly. The first press or key opens the audio.
  function openAudio() {
    // A key pressed while the engine is still on its way (a reader's Control, to stop the
    // speech) opens nothing yet: the blip comes with the engine, and the next press opens it.
    if (!sound.defaultWav) return;
    if (sound.context) {
      if (sound.context.state === "suspended") sound.context.resume().catch(() => {});
      return;
    }
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      sound.context = new Context();
    } catch (error) {
      sound.context = null;
      return;
    }
    decode(sound.defaultWav.slice().buffer)
      .then((buffer) => (sound.blip = buffer))
      .catch(() => {});
  }
  window.addEventListener("pointerdown", openAudio, true);
  window.addEventListener("keydown", openAudio, true);

  function decode(bytes) {
    return new Promise((resolve, reject) =>
      sound.context.decodeAudioData(bytes, resolve, reject)
    );
  }

  function bufferFor(path) {
    if (!sound.buffers.has(path)) {
      // Through the loader, which knows the site's sound format and gives up on a stalled link.
      const loaded = tovikLoader
        .fetchSound(path)
        .then(decode)
        .then((buffer) => {
          sound.loaded.set(path, buffer);
          return buffer;
        })
        .catch(() => null);
      sound.buffers.set(path, loaded);
    }
    return sound.buffers.get(path);
  }

  function stopSound() {
    if (sound.playing) {
      try {
        sound.playing.stop();
      } catch (error) {
        // already ended
      }
      sound.playing = null;
    }
  }

  function startSound(buffer) {
    stopSound();
    if (!buffer || !sound.context) return;
    const source = sound.context.createBufferSource();
    source.buffer = buffer;
    source.connect(sound.context.destination);
    source.onended = () => {
      if (sound.playing === source) sound.playing = null;
    };
    source.start();
    sound.playing = source;
  }

  // The engine's sound commands since the last event: which file to load, and once it is
  // loaded whether to play it, the blip, or nothing.
  function runSoundCommands(from) {
    for (const command of from.takeSoundCommands()) {
      if (command.kind === "load") {
        window.tovikSounds.push(command.file);
        if (!sound.context) continue;
        bufferFor(command.file).then((buffer) => {
          if (game !== from) return;
          from.soundLoaded(command.ticket, buffer !== null);
          runSoundCommands(from);
        });
      } else if (command.kind === "play") {
        startSound(sound.loaded.get(command.file));
      } else if (command.kind === "blip") {
        startSound(sound.blip);
      } else {
        stopSound();
      }
    }
  }

  // ---- The stage: one element for each control, where the layout puts it. ----
  let tovik = null; // the engine module
  let game = null; // the current game
  let layout = []; // the engine's table of the 26 controls
  let elements = []; // by control id; null for timers
  let passage = null; // the passage's element
  const timers = new Map(); // control id -> interval handle
  const shown = { captions: [], colours: [], visible: [], names: [] };

  function buildStage() {
    elements = layout.map(() => null);
    for (const id of tovik.readingOrder()) {
      const control = layout[id];
      let element = null;
      if (control.kind === "label") {
        element = document.createElement("div");
        element.className = "label" + (control.autoSize ? " auto-size" : "");
        setFont(element, control.fontPixels);
        element.style.background = hex(control.backColour);
        if (!control.autoSize) {
          element.style.width = control.width + "px";
          element.style.height = control.height + "px";
        }
      } else if (control.kind === "button") {
        element = document.createElement("button");
        element.type = "button";
        element.className = "button";
        element.style.width = control.width + "px";
        element.style.height = control.height + "px";
      } else if (control.kind === "picture") {
        element = document.createElement("img");
        element.className = "picture";
        // Only the title screen's pictures are needed at once; the items follow after it.
        element.loading = control.visibleAtStart ? "eager" : "lazy";
        element.src = "pictures/" + control.picture.replace(/\.bmp$/, ".webp");
        element.alt = ""; // named by the engine at the first drawing
        element.draggable = false;
        element.width = control.width;
        element.height = control.height;
      }
      element.id = control.name;
      element.classList.add("control");
      if (control.takesClick) {
        // Everything that takes a click is a button to the keyboard and to a screen reader.
        element.classList.add("clickable");
        if (control.kind !== "button") {
          element.setAttribute("role", "button");
          element.tabIndex = 0;
        }
      }
      element.style.left = control.left + "px";
      element.style.top = control.top + "px";
      element.dataset.control = String(control.id);
      board.appendChild(element);
      elements[id] = element;
    }
    for (let id = 0; id < layout.length; id++) {
      shown.captions.push(null);
      shown.colours.push(null);
      shown.visible.push(null);
      shown.names.push(null);
    }
  }

  function byName(name) {
    return elements[layout.findIndex((control) => control.name === name)];
  }

  // How the desktop window sets its text in the bundled font, which the page copies so that
  // every passage breaks into the same lines: the distance from one line to the next is the
  // font's ascent + descent + leading as the window rounds them (to 1/64 px). At 13 px the
  // window also rounds each letter's width down to 1/64 px, where the browser keeps it exact;
  // a slightly tighter letter spacing makes up for that on average (see tests/web).
  const kLineSpacing = { 13: 14.9375, 18: 20.703125, 32: 36.796875 };
  const kLetterSpacing = { 13: "-0.0045px" };
  function setFont(element, pixels) {
    element.style.fontSize = pixels + "px";
    element.style.lineHeight = (kLineSpacing[pixels] || Math.round(pixels * 1.15)) + "px";
    element.style.letterSpacing = kLetterSpacing[pixels] || "normal";
  }

  function controlOf(target) {
    const element = target && target.closest ? target.closest("[data-control]") : null;
    return element && stage.contains(element) ? Number(element.dataset.control) : -1;
  }

  // ---- Drawing the model. ----
  let screensShown = 0; // how many times a caption or a control's presence has changed
  function render() {
    if (!game) return;
    for (const control of layout) {
      const id = control.id;
      if (control.kind === "timer") {
        renderTimer(control);
        continue;
      }
      const element = elements[id];
      if (control.kind === "label" || control.kind === "button") {
        const caption = game.caption(id);
        if (shown.captions[id] !== caption) {
          element.textContent = caption;
          shown.captions[id] = caption;
          screensShown += 1;
        }
      }
      if (control.kind === "picture") {
        const name = game.accessibleName(id);
        if (shown.names[id] !== name) {
          element.alt = name;
          if (control.takesClick) element.setAttribute("aria-label", name);
          shown.names[id] = name;
        }
      }
      if (control.kind === "label") {
        const colour = game.colour(id);
        if (shown.colours[id] !== colour) {
          element.style.color = hex(colour);
          shown.colours[id] = colour;
        }
      }
      const visible = game.visible(id);
      if (shown.visible[id] !== visible) {
        element.classList.toggle("hidden-control", !visible);
        shown.visible[id] = visible;
        screensShown += 1;
      }
    }
    renderWindow();
    tell();
    runSoundCommands(game);
  }

  // What a screen reader is told, politely, as the engine decides it: a blow, a banner, a new
  // passage with its count.
  const announcer = document.getElementById("announcer");
  let lastAnnounced = "";
  function announce(text) {
    // The same words again (a figure asked for twice) are a change too, or they are not read.
    if (text === lastAnnounced) text += "\u00a0";
    lastAnnounced = text;
    announcer.textContent = "";
    announcer.textContent = text;
  }
  function tell() {
    const said = game.takeAnnouncement();
    if (said) announce(said);
    tovikNarrator.say(game.takeNarration()); // the same lines, aloud, when the player asked
    followFocus();
  }

  // The focus is where the engine keeps it. The page moves the browser's focus only when the
  // engine's has moved, and not while the question is open. Where the engine has it on the
  // passage, the browser's is on the game's area: a screen reader that comes to the area takes
  // it for an application and leaves it every key, the digits included, where on the passage it
  // would keep them for its own reading keys. The passage itself is said through the announcer.
  let shownFocus = -1;
  function followFocus() {
    if (game.windowState() !== "shown") return;
    const id = game.focus();
    if (id === shownFocus) return;
    shownFocus = id;
    if (id >= 0 && elements[id] !== passage) {
      elements[id].focus({ preventScroll: true });
      tovikNarrator.say(game.accessibleName(id)); // a reader names the control it comes to
    } else if (id >= 0 || stage.contains(document.activeElement)) {
      // Kept on the game's area, where its keys reach it in every mode of a screen reader.
      stage.focus({ preventScroll: true });
    }
  }
  // The pointer or a screen reader focused a control: the engine's focus follows it.
  stage.addEventListener("focusin", (event) => {
    const id = controlOf(event.target);
    if (!game || id < 0) return;
    game.focusOn(id);
    shownFocus = game.focus();
    keepSession();
  });

  function renderTimer(control) {
    const enabled = game.timerRuns(control.id);
    const running = timers.has(control.id);
    if (enabled && !running) {
      timers.set(
        control.id,
        setInterval(() => handle(() => game.tick(control.id)), control.intervalMs)
      );
    } else if (!enabled && running) {
      clearInterval(timers.get(control.id));
      timers.delete(control.id);
    }
  }

  let shownState = "shown";
  function renderWindow() {
    const state = game.windowState();
    if (state === shownState) return;
    shownState = state;
    stage.classList.toggle("hidden", state !== "shown");
    exitBox.hidden = state !== "hidden";
    closedBox.hidden = state !== "unloaded";
    if (state === "hidden") {
      document.getElementById("exit-title").textContent = game.exitQuestionTitle();
      document.getElementById("exit-text").textContent = game.exitQuestionText();
      exitYes.focus(); // Да is the default answer
    } else if (state === "shown" && exitBox.contains(document.activeElement)) {
      backFromQuestion();
    } else if (state === "unloaded") {
      for (const handle of timers.values()) clearInterval(handle);
      timers.clear();
      startAgain.focus();
    }
  }

  // Back from the question, whichever way it closed. A screen reader reads a dialog in its
  // browse mode, and on leaving it keeps that mode unless the focus lands on something it works
  // by keys: the game's area (an application) is such a thing, a button inside it is not, so a
  // focus put straight back on a choice or an item would leave the reader's arrow and letter
  // keys reading the page, and the game's keys never arriving. So the focus goes to the game's
  // area first, which turns the reader's focus mode on, and only on the next turn to the control
  // the engine kept it on (else the cross), inside the area, where the reader stays in that mode.
  // A reader acts on a focus change only if the focus is still there when it gets to it, which
  // takes it a good part of a second, hence the long pause between the two; the keys meanwhile
  // act on the control the engine kept, as ever.
  const kRefocusPauseMs = 1000;
  function backFromQuestion() {
    stage.focus({ preventScroll: true });
    const kept = game.focus();
    shownFocus = kept; // followFocus leaves it until the pause is over
    setTimeout(() => {
      if (!game || game.windowState() !== "shown" || document.activeElement !== stage) return;
      const id = game.focus();
      if (id !== kept) return; // a key has moved it meanwhile, and followFocus has shown it
      if (id >= 0 && elements[id] !== passage) elements[id].focus({ preventScroll: true });
      else if (id < 0) byName("Quit").focus({ preventScroll: true });
    }, kRefocusPauseMs);
  }

  // Every event goes to the engine first; the page then shows what it made of it.
  function handle(event) {
    if (!game) return undefined;
    const result = event();
    render();
    keepSession();
    return result;
  }

  // ---- The tab's session: the game's record, its seed and every event the page has handed the
  // engine, so that a reload, Back, Forward or a switch of language plays the same game again up
  // to the same screen. The engine writes the record; the page keeps its copy in step with each
  // event. A game left through the exit question is not kept.
  const kSessionKey = "tovik-game";
  let kept = null; // the copy in the session, when there is one
  function keepSession() {
    if (typeof game.takeRecordChange !== "function") return;
    try {
      const change = game.takeRecordChange();
      if (game.windowState() === "unloaded" || change.keep < 0) {
        forgetSession(); // left, or longer than a record keeps
        return;
      }
      kept = (kept === null ? "" : kept.slice(0, change.keep)) + change.tail;
      window.sessionStorage.setItem(kSessionKey, kept);
    } catch (error) {
      // storage full or blocked: the game plays on, only a reload starts afresh
      kept = null;
    }
  }
  function resumeSession() {
    if (typeof game.restoreRecord !== "function") return;
    try {
      const stored = window.sessionStorage.getItem(kSessionKey);
      if (stored === null) return;
      performance.mark("tovik-restore-start");
      const refused = game.restoreRecord(stored);
      performance.measure("tovik-restore", "tovik-restore-start");
      if (refused) {
        console.warn("the game kept in this tab cannot be played again: " + refused);
        forgetSession();
      } else {
        kept = stored;
      }
    } catch (error) {
      // nothing to resume
    }
  }
  function forgetSession() {
    kept = null;
    try {
      window.sessionStorage.removeItem(kSessionKey);
    } catch (error) {
      // nothing was kept
    }
  }

  // ---- Events. ----
  stage.addEventListener("pointermove", (event) => {
    // A move over a control goes to that control only; the background is the form. A finger
    // does not hover: its tap would leave the light on wherever the next screen has a control.
    if (event.pointerType === "touch") return;
    const id = controlOf(event.target);
    handle(() => game.move(id));
  });

  stage.addEventListener("click", (event) => {
    const id = controlOf(event.target);
    if (id < 0) return; // the form has no click handler
    if (!tovik.clickReachesGame(id, tapCount(event, id))) return;
    tovikNarrator.interrupt();
    handle(() => game.click(id));
  });

  // The browser counts two quick taps near each other as a double tap even when the first one
  // led to another screen; a finger reading on taps the next choice in the same place. Two taps
  // are a pair only on the same control of a screen the first left unchanged.
  const lastTap = { id: -1, screen: -1 };
  function tapCount(event, id) {
    if (event.pointerType !== "touch") return event.detail;
    const paired = event.detail > 1 && lastTap.id === id && lastTap.screen === screensShown;
    lastTap.id = id;
    lastTap.screen = screensShown;
    return paired ? event.detail : 1;
  }

  // Every key goes to the engine, which says whether the browser may still act on it. The
  // browser does nothing more with a key the game took, so a focused button is not clicked twice.
  document.addEventListener("keydown", (event) => {
    if (!game || game.windowState() !== "shown") return;
    // The narrator's key is the page's to act on; any other key of the game's stops what is
    // being read, as a screen reader's speech stops, before the key's own lines come.
    const modifiers = [event.shiftKey, event.ctrlKey, event.altKey, event.metaKey];
    if (tovik.narratorKey(event.key, ...modifiers)) {
      if (!event.repeat) tovikNarrator.toggle();
    } else if (tovik.keyTaken(event.key, ...modifiers)) {
      tovikNarrator.interrupt();
    }
    const taken = handle(() =>
      game.key(event.key, event.shiftKey, event.ctrlKey, event.altKey, event.metaKey, event.repeat)
    );
    if (taken) {
      event.preventDefault();
      event.stopImmediatePropagation(); // Escape opens the question; it must not answer it too
    }
  });
  document.addEventListener("keyup", (event) => {
    if (!game || game.windowState() !== "shown") return;
    if (tovik.keyTaken(event.key, event.shiftKey, event.ctrlKey, event.altKey, event.metaKey)) {
      event.preventDefault();
    }
  });

  // The exit question is the page's own message box, so its two keys are the page's, as the
  // window's message box answers to its toolkit's: Enter is Да, Escape is Нет.
  exitYes.addEventListener("click", () => handle(() => game.answer(true)));
  exitNo.addEventListener("click", () => handle(() => game.answer(false)));
  // In the question Enter answers with the button that has the focus, and Escape is Нет,
  // wherever the focus has wandered while it is open. The answer is the key's only effect: it
  // goes no further, to the game's own keys.
  document.addEventListener("keydown", (event) => {
    if (!game || game.windowState() !== "hidden") return;
    if (event.key !== "Enter" && event.key !== "Escape") return;
    event.preventDefault();
    event.stopImmediatePropagation();
    const yes = event.key === "Enter" && document.activeElement !== exitNo;
    handle(() => game.answer(yes));
  });

  startAgain.addEventListener("click", () => {
    forgetSession();
    newGame();
  });

  // ---- Scaling: 1:1 where the viewport holds the whole stage, evenly smaller where not. ----
  function fit() {
    const width = window.innerWidth;
    const height = window.innerHeight;
    const size = tovik.window();
    const scale = Math.min(1, width / size.width, height / size.height);
    const left = Math.max(0, Math.floor((width - size.width * scale) / 2));
    const top = Math.max(0, Math.floor((height - size.height * scale) / 2));
    stage.style.left = left + "px";
    stage.style.top = top + "px";
    stage.style.transform = scale === 1 ? "none" : "scale(" + scale + ")";
  }

  // ---- Language: chosen by the loader, which runs first. ----
  const kLanguages = { ru: "Русский", en: "English" };
  const kRemembered = tovikLoader.rememberedLanguageKey;
  const language = tovikLoader.language;
  let words = null;

  // The page's own words, and a switch to the other language that reloads the page in it: the
  // game in progress is played again from the session's record, in the other language.
  function showLanguage() {
    document.documentElement.lang = language;
    words = tovik.pageWords();
    tovikNarrator.start(words, language);
    for (const id of ["title", "closed-text", "start-again", "exit-yes", "exit-no", "window-layout", "reading-layout"]) {
      document.getElementById(id).textContent = words[id];
    }
    document.getElementById("layout-switch").setAttribute("aria-label", words.layout);
    document.title = words.title;
    board.setAttribute("aria-label", words.title);
    // Named for what it is, not by the browser's word for an application ("embedded").
    stage.setAttribute("aria-roledescription", words["game-role"]);
    board.setAttribute("aria-roledescription", words["game-role"]);
    document.getElementById("language").setAttribute("aria-label", words.language);
    const other = language === "ru" ? "en" : "ru";
    const address = new URLSearchParams(window.location.search);
    address.set("lang", other);
    const link = document.getElementById("language-switch");
    link.href = "?" + address.toString();
    link.hreflang = other;
    link.lang = other;
    link.textContent = kLanguages[other];
    // Enter follows the link, never the game's own Enter.
    link.addEventListener("keydown", (event) => {
      if (event.key === "Enter") event.stopPropagation();
    });
    link.addEventListener("click", () => {
      try {
        localStorage.setItem(kRemembered, other);
      } catch (error) {
        // not remembered, but the address carries it
      }
    });
  }

  // ---- Start. ----
  // The seed is the engine's to read, as every program of the game reads it: none, or one it
  // cannot read, seeds from the clock.
  function seedFromAddress() {
    return new URLSearchParams(window.location.search).get("seed") || "";
  }

  function newGame(resume = false) {
    if (game) game.delete();
    shownState = null;
    shownFocus = -1;
    shown.captions.fill(null);
    shown.colours.fill(null);
    shown.visible.fill(null);
    shown.names.fill(null);
    const seed = seedFromAddress();
    game = new tovik.WebGame(seed, () => performance.now());
    if (seed && !game.seeded()) {
      console.warn(
        "?seed= takes a whole number from 0 to 18446744073709551615, not '" + seed +
          "': this game's dice come from the clock"
      );
    }
    if (resume) resumeSession();
    window.tovikGame = game;
    render();
    keepSession();
  }

  window.tovikSounds = [];
  const fontReady = document.fonts
    ? document.fonts.load('13px "Tovik Sans"', "Товик").catch(() => null)
    : Promise.resolve();
  tovikLoader.engine
    .then(() => createTovik({ instantiateWasm: tovikLoader.instantiateWasm }))
    .then((module) => {
      tovik = module;
      tovik.chooseLanguage(language);
      showLanguage();
      layout = tovik.layoutTable();
      const size = tovik.window();
      document.documentElement.style.setProperty("--stage-width", size.width + "px");
      document.documentElement.style.setProperty("--stage-height", size.height + "px");
      sound.defaultWav = new Uint8Array(tovik.defaultSound());
      // The page carries the keys' help already, for a reader that reads it before the engine
      // has loaded; the engine's words are the ones that count.
      document.getElementById("keys-help").textContent = tovik.keysHelp();
      buildStage();
      passage = byName("Info");
      fit();
      // Fitted again at every resize from now on: one before the engine came (a window sized,
      // a phone turned while loading) has nothing to fit yet.
      window.addEventListener("resize", fit);
      newGame(true);
      // The title screen is shown whole: its font and its pictures first.
      const pictures = [...stage.querySelectorAll("img")].filter(
        (picture) => getComputedStyle(picture).display !== "none"
      );
      return Promise.all([fontReady, ...pictures.map((picture) => picture.decode().catch(() => null))]);
    })
    .then(() => {
      stage.classList.remove("loading");
      // The frame after this one is the first with the title screen on it.
      requestAnimationFrame(() =>
        setTimeout(() => {
          tovikLoader.done();
          performance.mark("tovik-title-painted");
          document.documentElement.dataset.ready = "true";
          for (const picture of stage.querySelectorAll("img")) picture.loading = "eager";
        }, 0)
      );
    })
    .catch((error) => tovikLoader.fail("error", error && error.stack ? error.stack : String(error)));
})();
