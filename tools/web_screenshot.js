// Saves the browser version's pictures in docs/, in Debian's headless Chromium: web.png, the
// title screen in a desktop browser; phone-portrait.png, a five-choice scene on a phone held
// upright; phone-landscape.png, a fight on a phone on its side.
//   node tools/web_screenshot.js            (after the browser build; run from the project root)
"use strict";

const fs = require("fs");
const path = require("path");
const { siteFolder, serve, launch, openGame } = require("../tests/web/harness.js");

const docs = path.resolve(__dirname, "../docs");
const clicksOf = (replay) =>
  fs
    .readFileSync(path.resolve(__dirname, "screenshots", replay), "utf8")
    .split("\n")
    .map((line) => line.trim().split(/\s+/))
    .filter(([verb]) => verb === "click")
    .map(([, name]) => name);

async function play(page, names) {
  for (const name of names) {
    if (await page.$eval("#" + name, (element) => getComputedStyle(element).display !== "none")) {
      await page.click("#" + name);
    }
  }
}

async function save(page, name) {
  const file = path.join(docs, name);
  await page.screenshot({ path: file });
  console.log(path.relative(process.cwd(), file));
}

(async () => {
  const server = await serve(siteFolder());
  const browser = await launch();
  const page = await openGame(browser, server.url);
  await page.mouse.move(1000, 740);
  await save(page, "web.png");
  await page.close();

  const phone = { deviceScaleFactor: 2, isMobile: true, hasTouch: true };
  const portrait = await openGame(browser, server.url + "?seed=7", { width: 390, height: 844, ...phone });
  await play(portrait, clicksOf("choices.replay"));
  await portrait.evaluate(() => window.scrollTo(0, 0));
  await portrait.mouse.move(5, 300); // off the choices, onto the background: no choice lit
  await save(portrait, "phone-portrait.png");
  await portrait.close();

  const landscape = await openGame(browser, server.url + "?seed=7", { width: 844, height: 390, ...phone });
  await play(landscape, clicksOf("fight.replay").slice(0, -2));
  await landscape.evaluate(() => document.getElementById("Attack").scrollIntoView({ block: "end" }));
  await new Promise((done) => setTimeout(done, 700)); // the life watch shows both counts
  await save(landscape, "phone-landscape.png");
  await landscape.close();

  await browser.close();
  await server.close();
})();
