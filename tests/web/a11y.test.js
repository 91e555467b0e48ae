// Playing without a mouse and without sight: the page by keyboard alone, the accessibility
// tree Chromium gives a screen reader, and the narrator.
"use strict";

const assert = require("node:assert/strict");
const { test } = require("node:test");
const { useSite, openGame, clicksOf, shown, clickAll, ready } = require("./harness.js");

const site = useSite();
const text = (page, name) => page.$eval("#" + name, (element) => element.textContent);
const focused = (page) => page.evaluate(() => document.activeElement.id);
const said = (page) => page.$eval("#announcer", (region) => region.textContent);
const toFight = clicksOf("fight.replay").filter((name) => name !== "Attack");

async function tabs(page, count) {
  const order = [];
  for (let i = 0; i < count; i++) order.push(await page.keyboard.press("Tab").then(() => focused(page)));
  return order;
}

test("a keyboard alone plays to the first fight and through it, each scene said with its count", async () => {
  const page = await site.open("?seed=7");
  // Tab reaches СТАРТ first; Enter on it starts.
  assert.deepEqual(await tabs(page, 1), ["Start"]);
  await page.keyboard.press("Enter");
  // A new scene keeps the focus on the game's area, where a screen reader leaves the game its
  // keys, and says the passage and its count.
  assert.equal(await focused(page), "stage");
  assert.equal(await said(page), (await text(page, "Info")) + "\nОдин вариант.");
  // Tab from the passage goes to the first choice; Space clicks it.
  assert.deepEqual(await tabs(page, 1), ["R1"]);
  await page.keyboard.press(" ");
  const second = await text(page, "Info");
  assert.equal(await focused(page), "stage");
  assert.match(await said(page), new RegExp("^" + second.slice(0, 20)));
  // A digit is its choice.
  await page.keyboard.press(toFight[2].slice(1));
  assert.notEqual(await text(page, "Info"), second);
  assert.equal(await focused(page), "stage");
  assert.match(await said(page), /\n(Один вариант|\S+ вариант(а|ов)|Выбора нет)\.$/);
  for (const name of toFight.slice(3)) await page.keyboard.press(name.slice(1));
  assert.ok((await shown(page, "Attack")) && (await shown(page, "LifeOpponent")), "a fight");
  // Enter with the passage focused is Атака!, blow after blow, each said with both lives.
  for (let blow = 0; blow < 60 && (await shown(page, "Attack")); blow++) {
    await page.keyboard.press("Enter");
    if (blow === 0) assert.match(await said(page), /ЖИЗНЬ: -?\d+\. .+: -?\d+\.$/);
  }
  assert.equal(await shown(page, "Attack"), false, "the fight is over");
  assert.equal(await shown(page, "EndGame"), false, "and won");
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

// The buttons of the game; the page's own switches are not among them.
function buttonsIn(node, found = []) {
  if (node.role === "button" && !["Как в окне", "Для чтения", "Читать вслух"].includes(node.name)) found.push(node.name);
  for (const child of node.children || []) buttonsIn(child, found);
  return found;
}

test("a screen reader finds the choices as buttons with their captions, nothing hidden, and Tab goes through the controls in reading order", async () => {
  const page = await site.open("?seed=7");
  assert.equal(await page.$eval("html", (html) => html.lang), "ru");
  assert.deepEqual(buttonsIn(await page.accessibility.snapshot()), ["СТАРТ", "Выход"]);
  // On the way, in a fight: Tab passes over the fur ball, which takes no click, with a ring that
  // moves nothing.
  const route = clicksOf("choices.replay");
  await clickAll(page, route.slice(0, toFight.length));
  assert.deepEqual(await tabs(page, 3), ["Attack", "Item3", "Quit"]);
  const box = await page.$eval("#Attack", (element) => element.getBoundingClientRect().toJSON());
  await page.keyboard.down("Shift");
  await tabs(page, 2);
  await page.keyboard.up("Shift");
  assert.equal(await focused(page), "Attack");
  assert.equal(await page.$eval("#Attack", (e) => getComputedStyle(e).outlineStyle), "solid");
  assert.deepEqual(await page.$eval("#Attack", (e) => e.getBoundingClientRect().toJSON()), box);
  await clickAll(page, route.slice(toFight.length));
  const scene = await page.accessibility.snapshot();
  const captions = await Promise.all(["R1", "R2", "R3", "R4", "R5"].map((name) => text(page, name)));
  const items = [];
  for (const item of ["Item1", "Item3", "Item4"]) if (await shown(page, item)) items.push(item);
  assert.ok(items.length > 0, "the scene shows a held item too");
  const alts = await Promise.all(items.map((item) => page.$eval("#" + item, (picture) => picture.alt)));
  assert.deepEqual(buttonsIn(scene), [...captions, ...alts, "Выход"]);
  const everything = JSON.stringify(scene);
  assert.ok(everything.includes((await text(page, "Info")).slice(0, 40)), "the passage is read");
  assert.ok(!everything.includes("СТАРТ"), "hidden controls are not exposed");
  const served = await page.evaluate(async () => (await fetch(location.href)).text());
  assert.ok(served.includes(await text(page, "keys-help")), "the keys are told before the engine loads");
  assert.equal(await said(page), (await text(page, "Info")) + "\nПять вариантов.");
  assert.deepEqual(await tabs(page, 6 + items.length), ["R1", "R2", "R3", "R4", "R5", ...items, "Quit"]);
  await page.close();
});

// The narrator, by the page's calls to the browser's speech: every utterance and every cancel is
// written down. `voices` is "stand-in" (one voice a language, which says nothing) or "none".
function listenToSpeech(voices) {
  return (page) =>
    page.evaluateOnNewDocument((voices) => {
      const speech = window.speechSynthesis;
      window.spoken = [];
      window.cancels = 0;
      const standIns = [{ name: "ru", lang: "ru-RU", localService: true }, { name: "en", lang: "en-GB", localService: true }];
      speech.getVoices = () => (voices === "none" ? [] : standIns);
      // Only the browser's own voices may be set on an utterance.
      const voice = { set(voice) { this.standIn = voice; }, get() { return this.standIn || null; } };
      Object.defineProperty(SpeechSynthesisUtterance.prototype, "voice", voice);
      speech.speak = (line) => window.spoken.push({ text: line.text, lang: line.lang, voice: line.voice && line.voice.name });
      speech.cancel = () => (window.cancels += 1);
    }, voices);
}

const kRussianVoice = {
  label: "Читать вслух",
  note: "Для игры без экранного диктора: вместе с ним голоса будут мешать друг другу. Клавиша М (V).",
  on: "Чтение вслух включено.",
};
const kEnglishVoice = {
  label: "Read aloud",
  note: "For playing without a screen reader: with one, the two voices would talk over each other. Key V.",
  on: "Reading aloud is on.",
};
for (const [language, voices, words] of [
  ["ru", "stand-in", kRussianVoice],
  ["en", "stand-in", kEnglishVoice],
  ["en", "none", { ...kEnglishVoice, none: "There is no English voice: the game goes on without reading aloud." }],
]) {
  test(`the narrator reads aloud what the screen reader is told: ${language}, voices: ${voices}`, async () => {
    // A context of its own: the switch is remembered, and a row that fails must not leave it on.
    const context = await site.browser.createBrowserContext();
    const page = await openGame(context, `${site.server.url}?lang=${language}&seed=1`, undefined, listenToSpeech(voices));
    const spoken = () => page.evaluate(() => window.spoken.map((line) => line.text));
    const notice = () => page.$eval("#read-aloud-notice", (element) => (element.hidden ? "" : element.textContent));
    // The switch warns a screen reader's user in its description.
    const label = await page.$eval("#read-aloud", (button) => ({
      label: button.textContent,
      note: document.getElementById(button.getAttribute("aria-describedby")).textContent,
    }));
    assert.deepEqual(label, { label: words.label, note: words.note });
    // The letter as a Russian keyboard types it, which Puppeteer's own keyboard does not know.
    await page.evaluate((key) => document.activeElement.dispatchEvent(new KeyboardEvent("keydown", { key, bubbles: true })),
                        language === "ru" ? "м" : "V");
    await page.waitForFunction(() => document.getElementById("read-aloud").getAttribute("aria-pressed") === "true");
    if (voices === "none") {
      // Said once, on screen and as a status a screen reader reads; the game goes on silent.
      await page.waitForFunction(() => !document.getElementById("read-aloud-notice").hidden);
      assert.equal(await notice(), words.none);
      await page.keyboard.press("Enter");
      await page.waitForFunction(() => getComputedStyle(document.getElementById("Info")).display !== "none");
      assert.deepEqual(await spoken(), []);
    } else {
      await page.waitForFunction(() => window.spoken.length > 0);
      assert.deepEqual(await spoken(), [words.on]);
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
      await ready(page);
      const pressed = () => page.$eval("#read-aloud", (button) => button.getAttribute("aria-pressed"));
      assert.equal(await pressed(), "true");
      await page.keyboard.press("v");
      assert.equal(await pressed(), "false");
      const before = (await spoken()).length;
      await page.keyboard.press("Enter");
      await new Promise((resolve) => setTimeout(resolve, 300));
      assert.equal((await spoken()).length, before);
    }
    assert.deepEqual(page.problems, []);
    await context.close();
  });
}
