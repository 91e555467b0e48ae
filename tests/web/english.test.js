// The English edition in the page: seeded games to the way out and to a death with English on
// the screen after every click, and the language switch beside the stage, remembered, with the
// translation downloaded only when it is played.
"use strict";

const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");
const { after, before, test } = require("node:test");
const { openGame, startSite, stopSite } = require("./harness.js");

let server;
let browser;
before(async () => ({ server, browser } = await startSite()));
after(() => stopSite({ server, browser }));

// The clicks of a screenshot script up to its first tick: label names, whatever the language.
function clicksOf(replay) {
  const script = path.resolve(__dirname, "../../tools/screenshots", replay);
  const clicks = [];
  for (const line of fs.readFileSync(script, "utf8").split("\n")) {
    const [verb, name] = line.trim().split(/\s+/);
    if (verb === "tick") break;
    if (verb === "click") clicks.push(name);
  }
  return clicks;
}

// Every text shown on the stage, by control.
function shownTexts(page) {
  return page.$$eval("#stage .control", (elements) =>
    elements
      .filter((element) => getComputedStyle(element).display !== "none")
      .map((element) => element.id + ": " + element.textContent)
  );
}

async function play(page, replay) {
  for (const name of clicksOf(replay)) {
    const element = await page.$("#" + name);
    if (!(await element.isVisible())) continue; // a fight already won
    await element.click();
    const russian = (await shownTexts(page)).filter((text) => /[\u0400-\u04FF]/.test(text));
    assert.deepEqual(russian, [], "after a click on " + name);
  }
}

test("an English game to the way out", async () => {
  const page = await openGame(browser, server.url + "?lang=en&seed=7");
  assert.equal(await page.evaluate(() => document.documentElement.lang), "en");
  assert.equal(await page.$eval("#Start", (start) => start.textContent), "START");
  await play(page, "victory.replay");
  assert.equal(await page.$eval("#R1", (r1) => r1.checkVisibility()), false);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test("an English game to a death, and its banner", async () => {
  const page = await openGame(browser, server.url + "?lang=en&seed=7");
  await play(page, "defeat.replay");
  await page.waitForFunction(() => document.getElementById("EndGame").checkVisibility(), {
    timeout: 30000,
  });
  assert.equal(
    await page.$eval("#EndGame", (banner) => banner.textContent),
    "Game over! Larminov is dead."
  );
  assert.deepEqual(page.problems, []);
  await page.close();
});

// The translation is data the page fetches only for the language it plays.
const fetchedTranslation = (page) =>
  page.evaluate(() => performance.getEntriesByType("resource").some((entry) => entry.name.includes(".catalogue")));

test("the switch changes the language, fetching the translation only then, and is remembered", async () => {
  const page = await openGame(browser, server.url + "?seed=7");
  assert.equal(await page.evaluate(() => document.documentElement.lang), "ru");
  assert.equal(await fetchedTranslation(page), false, "a Russian page downloads no English");
  await Promise.all([page.waitForNavigation(), page.click("#language-switch")]);
  await page.waitForFunction(() => document.documentElement.dataset.ready === "true");
  assert.equal(await page.evaluate(() => document.documentElement.lang), "en");
  assert.equal(await fetchedTranslation(page), true);
  assert.equal(await page.$eval("#Start", (start) => start.textContent), "START");
  await page.close();

  const again = await openGame(browser, server.url);
  assert.equal(await again.$eval("#Start", (start) => start.textContent), "START");
  assert.equal(await again.$eval("#language-switch", (link) => link.textContent), "Русский");
  await again.close();
});
