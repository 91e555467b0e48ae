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
  if (node.role === "button" && !["Как в окне", "Для чтения"].includes(node.name)) found.push(node.name);
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
