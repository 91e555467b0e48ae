// The page on a phone and zoomed: the reading layout's column played by taps, text that grows
// with zoom, and the layout switch.
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
    return {
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
  ["landscape", phone(844, 390)],
]) {
  test(`a phone in ${orientation} plays by taps through a fight and the items to the way out`, async () => {
    const page = await openGame(browser, server.url + "?seed=7", size);
    assert.equal((await measure(page)).layout, "reading");
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
      await tap(page, name);
      if (name === "Attack") blows += 1;
      if (name.startsWith("Item")) items += 1;
      const now = await measure(page);
      assert.equal(now.sideways, false, "nothing scrolls sideways after " + name);
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

test("250% zoom enlarges the text, and the layout switch is obeyed and remembered", async () => {
  const sizes = {};
  for (const [zoom, size] of [
    [1, { width: 1280, height: 800 }],
    [2.5, { width: 512, height: 320, deviceScaleFactor: 2.5 }],
  ]) {
    const page = await openGame(browser, server.url + "?seed=7", size);
    await page.click("#Start");
    await page.click("#R1");
    sizes[zoom] = await measure(page);
    await page.close();
  }
  assert.equal(sizes[1].layout, "window");
  assert.equal(sizes[2.5].layout, "reading");
  assert.ok(sizes[2.5].info.font >= sizes[1].info.font);
  assert.ok(sizes[2.5].choices[0].font >= sizes[1].choices[0].font);

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
