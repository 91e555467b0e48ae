// Playing without a mouse and without sight: the page by keyboard alone, the accessibility
// tree Chromium gives a screen reader, and axe-core's rules on the main screens.
"use strict";

const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");
const { after, before, test } = require("node:test");
const { openGame, startSite, stopSite } = require("./harness.js");

const kReplays = path.resolve(__dirname, "../../tools/screenshots");
const kAxe = require.resolve("axe-core/axe.min.js");

let server;
let browser;
before(async () => ({ server, browser } = await startSite()));
after(() => stopSite({ server, browser }));

function clicksOf(replay) {
  return fs
    .readFileSync(path.join(kReplays, replay), "utf8")
    .split("\n")
    .map((line) => line.trim().split(/\s+/))
    .filter(([verb]) => verb === "click")
    .map(([, name]) => name);
}

const shown = (page, name) =>
  page.$eval("#" + name, (element) => getComputedStyle(element).display !== "none");
const text = (page, name) => page.$eval("#" + name, (element) => element.textContent);
const focused = (page) => page.evaluate(() => document.activeElement.id);
const said = (page) => page.$eval("#announcer", (region) => region.textContent);

// The key a keyboard player presses for a click on `name`: a digit for a choice, Enter for the
// obvious control.
async function press(page, name) {
  const digit = /^R([1-5])$/.exec(name);
  await page.keyboard.press(digit ? digit[1] : "Enter");
}

// Clicks as a screenshot script does: a control that is not shown takes no click.
async function clickAll(page, names) {
  for (const name of names) {
    if (await shown(page, name)) await page.click("#" + name);
  }
}

test("a keyboard alone plays to the first fight and through it", async () => {
  const page = await openGame(browser, server.url + "?seed=7");
  // Tab reaches СТАРТ first; Enter on it starts.
  await page.keyboard.press("Tab");
  assert.equal(await focused(page), "Start");
  await page.keyboard.press("Enter");
  assert.ok(await shown(page, "Info"));
  // A new scene keeps the browser's focus on the game's area, where a screen reader leaves the
  // game its keys, and says the passage and its count.
  assert.equal(await focused(page), "stage");
  assert.equal(await said(page), (await text(page, "Info")) + "\nОдин вариант.");
  // Tab from the passage goes to the first choice; Space clicks it.
  await page.keyboard.press("Tab");
  assert.equal(await focused(page), "R1");
  await page.keyboard.press(" ");
  const second = await text(page, "Info");
  assert.equal(await focused(page), "stage");
  assert.match(await said(page), new RegExp("^" + second.slice(0, 20)));
  await press(page, clicksOf("fight.replay")[2]);
  assert.notEqual(await text(page, "Info"), second);
  assert.equal(await focused(page), "stage");
  assert.match(await said(page), /\n(Один вариант|\S+ вариант(а|ов)|Выбора нет)\.$/);
  const route = clicksOf("fight.replay").filter((name) => name !== "Attack");
  for (const name of route.slice(3)) await press(page, name);
  assert.ok(await shown(page, "Attack"), "a fight");
  assert.ok(await shown(page, "LifeOpponent"));
  // Enter with the passage focused is Атака!, blow after blow, until the fight is won.
  for (let blow = 0; blow < 60 && (await shown(page, "Attack")); blow++) {
    await page.keyboard.press("Enter");
    if (blow === 0) {
      // Each blow is said: the fight's status and both life counts.
      assert.match(await said(page), /ЖИЗНЬ: -?\d+\. .+: -?\d+\.$/);
    }
  }
  assert.equal(await shown(page, "Attack"), false, "the fight is over");
  assert.equal(await shown(page, "EndGame"), false, "and won");
  assert.ok(await shown(page, "R1"), "the story goes on");
  // Escape asks to leave; the question keeps its own keys.
  await page.keyboard.press("Escape");
  assert.equal(await page.$eval("#exit-question", (box) => box.hidden), false);
  await page.keyboard.press("Escape");
  assert.equal(await page.$eval("#exit-question", (box) => box.hidden), true);
  assert.ok(await shown(page, "R1"), "No leaves the game where it stood");
  // A key the game has no use for does nothing.
  const before = await text(page, "Info");
  await page.keyboard.press("7");
  await page.keyboard.press("KeyX");
  assert.equal(await text(page, "Info"), before);
  await page.close();
});

test("Tab goes through the shown controls in reading order, with a ring that moves nothing", async () => {
  const page = await openGame(browser, server.url + "?seed=7");
  await clickAll(page, clicksOf("choices.replay"));
  const items = [];
  for (const item of ["Item1", "Item3", "Item4"]) if (await shown(page, item)) items.push(item);
  assert.ok(items.length > 0, "the scene shows a held item too");
  const order = [];
  for (let i = 0; i < 6 + items.length; i++) {
    await page.keyboard.press("Tab");
    order.push(await focused(page));
  }
  assert.deepEqual(order, ["R1", "R2", "R3", "R4", "R5", ...items, "Quit"]);
  await page.close();

  const fight = await openGame(browser, server.url + "?seed=7");
  await clickAll(fight, clicksOf("fight.replay").filter((name) => name !== "Attack"));
  const stops = [];
  for (let i = 0; i < 3; i++) {
    await fight.keyboard.press("Tab");
    stops.push(await focused(fight));
  }
  assert.deepEqual(stops, ["Attack", "Item3", "Quit"], "the fur ball takes no click");
  const box = await fight.$eval("#Attack", (element) => element.getBoundingClientRect().toJSON());
  await fight.keyboard.down("Shift");
  await fight.keyboard.press("Tab");
  await fight.keyboard.press("Tab");
  await fight.keyboard.up("Shift");
  assert.equal(await focused(fight), "Attack");
  assert.equal(await fight.$eval("#Attack", (e) => getComputedStyle(e).outlineStyle), "solid");
  assert.deepEqual(await fight.$eval("#Attack", (e) => e.getBoundingClientRect().toJSON()), box);
  await fight.close();
});

function focusedIn(node) {
  if (node.focused) return node;
  for (const child of node.children || []) {
    const found = focusedIn(child);
    if (found) return found;
  }
  return null;
}

// The buttons of the game; the page's own layout switch is not one of them.
function buttonsIn(node, found = []) {
  if (node.role === "button" && !["Как в окне", "Для чтения", "Читать вслух"].includes(node.name)) found.push(node.name);
  for (const child of node.children || []) buttonsIn(child, found);
  return found;
}

test("a screen reader finds the choices as buttons with their captions, and nothing hidden", async () => {
  const page = await openGame(browser, server.url + "?seed=7");
  assert.equal(await page.$eval("html", (html) => html.lang), "ru");
  const title = await page.accessibility.snapshot();
  assert.deepEqual(buttonsIn(title), ["СТАРТ", "Выход"]);
  await clickAll(page, clicksOf("choices.replay"));
  const scene = await page.accessibility.snapshot();
  const captions = [];
  for (const name of ["R1", "R2", "R3", "R4", "R5"]) captions.push(await text(page, name));
  const items = [];
  for (const item of ["Item1", "Item3", "Item4"]) {
    if (await shown(page, item)) items.push(await page.$eval("#" + item, (picture) => picture.alt));
  }
  assert.deepEqual(buttonsIn(scene), [...captions, ...items, "Выход"]);
  const everything = JSON.stringify(scene);
  assert.ok(everything.includes((await text(page, "Info")).slice(0, 40)), "the passage is read");
  assert.ok(!everything.includes("СТАРТ"), "hidden controls are not exposed");
  // The click's new scene keeps the focus on the game's area, and the passage is said with the
  // number of its choices.
  assert.equal(focusedIn(scene).role, "application");
  const served = await page.evaluate(async () => (await fetch(location.href)).text());
  assert.ok(served.includes(await text(page, "keys-help")), "the keys are told before the engine loads");
  assert.equal(await said(page), (await text(page, "Info")) + "\nПять вариантов.");
  await page.close();
});

async function violations(page) {
  await page.addScriptTag({ path: kAxe });
  const result = await page.evaluate(() => window.axe.run(document));
  return result.violations.map(
    (violation) => violation.id + ": " + violation.nodes.map((node) => node.target.join(" ")).join(", ")
  );
}

test("axe-core finds no violation on the title, a five-choice scene, a fight and a banner", async () => {
  const page = await openGame(browser, server.url + "?seed=7");
  assert.deepEqual(await violations(page), [], "title screen");
  await clickAll(page, clicksOf("choices.replay"));
  assert.deepEqual(await violations(page), [], "five choices");
  await page.close();

  const fight = await openGame(browser, server.url + "?seed=7");
  await clickAll(fight, clicksOf("fight.replay").filter((name) => name !== "Attack"));
  await fight.click("#Attack");
  assert.deepEqual(await violations(fight), [], "fight");
  await fight.close();

  const death = await openGame(browser, server.url + "?seed=7");
  await clickAll(death, clicksOf("defeat.replay"));
  await death.waitForFunction(
    () => getComputedStyle(document.getElementById("EndGame")).display !== "none",
    { timeout: 30000 }
  );
  assert.equal(await said(death), "Игра окончена! Ларминов погиб.");
  assert.deepEqual(await violations(death), [], "defeat banner");
  await death.close();
});

test("axe-core finds no violation in the reading layout on the title, five choices and a fight", async () => {
  const phone = { width: 390, height: 844, hasTouch: true };
  const page = await openGame(browser, server.url + "?seed=7", phone);
  assert.equal(await page.$eval("html", (html) => html.dataset.layout), "reading");
  assert.deepEqual(await violations(page), [], "title screen");
  await clickAll(page, clicksOf("choices.replay"));
  assert.deepEqual(await violations(page), [], "five choices");
  await page.close();

  const fight = await openGame(browser, server.url + "?seed=7", phone);
  await clickAll(fight, clicksOf("fight.replay").filter((name) => name !== "Attack"));
  await fight.click("#Attack");
  assert.deepEqual(await violations(fight), [], "fight");
  await fight.close();
});

// The narrator, by the page's calls to the browser's speech: every utterance and every cancel is
// written down, and spoken too where the voice is the machine's own. `voices` is "machine" (the
// browser's own voices; skipped without one for the language), "stand-in" (one voice a language,
// which says nothing), or "none".
function listenToSpeech(voices) {
  return (page) =>
    page.evaluateOnNewDocument((voices) => {
      const speech = window.speechSynthesis;
      window.spoken = [];
      window.cancels = 0;
      const speak = speech.speak.bind(speech);
      const cancel = speech.cancel.bind(speech);
      if (voices !== "machine") {
        const standIns = voices === "none" ? [] : [
          { name: "ru", lang: "ru-RU", localService: true },
          { name: "en", lang: "en-GB", localService: true },
        ];
        speech.getVoices = () => standIns;
        // Only the browser's own voices may be set on an utterance.
        Object.defineProperty(SpeechSynthesisUtterance.prototype, "voice", {
          set(voice) { this.standIn = voice; },
          get() { return this.standIn || null; },
        });
      }
      speech.speak = (line) => {
        window.spoken.push({ text: line.text, lang: line.lang, voice: line.voice && line.voice.name });
        if (voices === "machine") speak(line);
      };
      speech.cancel = () => {
        window.cancels += 1;
        cancel();
      };
    }, voices);
}

const kNarratorWords = {
  ru: {
    "read-aloud": "Читать вслух",
    "read-aloud-note": "Для игры без экранного диктора: вместе с ним голоса будут мешать друг другу. Клавиша М (V).",
    "read-aloud-on": "Чтение вслух включено.",
    "no-voice": "Для русского языка нет голоса: игра идёт без чтения вслух.",
  },
  en: {
    "read-aloud": "Read aloud",
    "read-aloud-note": "For playing without a screen reader: with one, the two voices would talk over each other. Key V.",
    "read-aloud-on": "Reading aloud is on.",
    "no-voice": "There is no English voice: the game goes on without reading aloud.",
  },
};

for (const { language, voices } of [
  { language: "ru", voices: "stand-in" },
  { language: "en", voices: "machine" },
  { language: "en", voices: "none" },
]) {
  test(`the narrator reads aloud what the screen reader is told: ${language}, voices: ${voices}`, async (t) => {
    const page = await openGame(browser, `${server.url}?lang=${language}&seed=1`, undefined, listenToSpeech(voices));
    if (voices === "machine") {
      const has = await page.evaluate(
        (language) =>
          new Promise((resolve) => {
            const look = () => speechSynthesis.getVoices().some((voice) => voice.lang.startsWith(language));
            if (look()) return resolve(true);
            speechSynthesis.addEventListener("voiceschanged", () => resolve(look()), { once: true });
            setTimeout(() => resolve(look()), 2000);
          }),
        language
      );
      if (!has) {
        t.skip(`this machine's browser has no ${language} voice`);
        await page.close();
        return;
      }
    }
    const spoken = () => page.evaluate(() => window.spoken.map((line) => line.text));
    const pressed = () => page.$eval("#read-aloud", (button) => button.getAttribute("aria-pressed"));
    const notice = () => page.$eval("#read-aloud-notice", (element) => (element.hidden ? "" : element.textContent));
    const words = kNarratorWords[language];
    assert.equal(await page.$eval("#read-aloud", (button) => button.textContent), words["read-aloud"]);
    // The switch warns a screen reader's user in its description.
    const description = await page.$eval("#read-aloud", (button) =>
      document.getElementById(button.getAttribute("aria-describedby")).textContent
    );
    assert.equal(description, words["read-aloud-note"]);
    // The letter as a Russian keyboard types it, which Puppeteer's own keyboard does not know.
    if (language === "ru") {
      await page.evaluate(() =>
        document.activeElement.dispatchEvent(new KeyboardEvent("keydown", { key: "м", bubbles: true }))
      );
    } else {
      await page.keyboard.press("V");
    }
    await page.waitForFunction(() => document.getElementById("read-aloud").getAttribute("aria-pressed") === "true");
    if (voices === "none") {
      // Said once, on screen and as a status a screen reader reads; the game goes on silent.
      await page.waitForFunction(() => !document.getElementById("read-aloud-notice").hidden);
      assert.equal(await notice(), words["no-voice"]);
      await page.keyboard.press("Enter");
      await page.waitForFunction(() => getComputedStyle(document.getElementById("Info")).display !== "none");
      assert.deepEqual(await spoken(), []);
      assert.deepEqual(page.problems, []);
      await page.close();
      return;
    }
    await page.waitForFunction(() => window.spoken.length > 0);
    assert.deepEqual(await spoken(), [words["read-aloud-on"]]);
    assert.equal(await notice(), "");
    // A key stops what is being read, and its lines come in the language played.
    const cancels = await page.evaluate(() => window.cancels);
    await page.keyboard.press("Enter");
    await page.waitForFunction(() => window.spoken.length > 1);
    const passage = await page.evaluate(() => window.spoken[1]);
    const opening = await page.$eval("#Info", (element) => element.textContent);
    assert.ok(passage.text.startsWith(opening.slice(0, 40)), passage.text);
    assert.ok(passage.lang.startsWith(language), passage.lang);
    assert.ok((await page.evaluate(() => window.cancels)) > cancels);
    // Tab names the control it comes to.
    await page.keyboard.press("Tab");
    await page.waitForFunction(() => window.spoken.length > 2);
    assert.equal((await spoken())[2], await page.$eval("#R1", (element) => element.textContent));
    // Remembered across a reload, and off again by its key.
    await page.reload({ waitUntil: "load" });
    await page.waitForFunction(() => document.documentElement.dataset.ready === "true");
    assert.equal(await pressed(), "true");
    await page.keyboard.press("v");
    assert.equal(await pressed(), "false");
    const before = (await spoken()).length;
    await page.keyboard.press("Enter");
    await new Promise((resolve) => setTimeout(resolve, 300));
    assert.equal((await spoken()).length, before);
    assert.deepEqual(page.problems, []);
    await page.close();
  });
}
