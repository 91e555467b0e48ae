// Figures of the browser build, measured in Debian's headless Chromium (not a test: it prints):
// the gzip-compressed size of the code and of the whole site, the time from navigation to the
// first painted title screen, and the time of a scene change (engine and layout).
//   node tools/web_benchmark.js            (after the browser build; run from the project root)
"use strict";

const fs = require("fs");
const path = require("path");
const zlib = require("zlib");
const { siteFolder, serve, launch, openGame } = require("../tests/web/harness.js");

const site = siteFolder();

function gzipped(file) {
  return zlib.gzipSync(fs.readFileSync(file), { level: 9 }).length;
}

function filesUnder(folder) {
  return fs.readdirSync(folder, { withFileTypes: true }).flatMap((entry) => {
    const full = path.join(folder, entry.name);
    return entry.isDirectory() ? filesUnder(full) : [full];
  });
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kib = (bytes) => (bytes / 1024).toFixed(0) + " KiB";

(async () => {
  const code = ["index.html", "tovik.css", "tovik-view.js", "tovik.js", "tovik.wasm"];
  const codeBytes = code.reduce((sum, file) => sum + gzipped(path.join(site, file)), 0);
  const siteBytes = filesUnder(site).reduce((sum, file) => sum + gzipped(file), 0);
  console.log("code (page, view script, engine), gzip -9: " + kib(codeBytes) + " (target 1024 KiB)");
  console.log("whole site, each file gzip -9:            " + kib(siteBytes) + " (target 2048 KiB)");

  const server = await serve(site);
  const browser = await launch();
  // Warm the browser once, then load the title screen afresh ten times.
  await (await openGame(browser, server.url)).close();
  const painted = [];
  const contentful = [];
  for (let run = 0; run < 10; run++) {
    const page = await openGame(browser, server.url);
    const times = await page.evaluate(
      () =>
        new Promise((resolve) => {
          const entry = () => performance.getEntriesByName("tovik-title-painted")[0];
          const check = () => {
            const paints = performance.getEntriesByName("first-contentful-paint");
            if (entry() && paints.length) resolve([entry().startTime, paints[0].startTime]);
            else setTimeout(check, 10);
          };
          check();
        })
    );
    painted.push(times[0]);
    contentful.push(times[1]);
    await page.close();
  }
  console.log("first painted title screen, median of 10: " + median(painted).toFixed(0) +
              " ms after navigation start (first contentful paint " +
              median(contentful).toFixed(0) + " ms; target 300 ms)");

  const page = await openGame(browser, server.url + "?seed=1");
  const changes = await page.evaluate(() => {
    const byId = (id) => document.getElementById(id);
    const shown = (id) => getComputedStyle(byId(id)).display !== "none";
    const press = (id) => byId(id).dispatchEvent(new MouseEvent("click", { bubbles: true, detail: 1 }));
    const times = [];
    let draw = 1;
    press("Start");
    while (times.length < 500) {
      const choices = ["R1", "R2", "R3", "R4", "R5"].filter(shown);
      if (choices.length === 0) {
        press("Quit"); // a death or a fight: leave and start again
        byId("exit-yes").click();
        byId("start-again").click();
        press("Start");
        continue;
      }
      draw = (draw * 48271) % 2147483647;
      const choice = choices[draw % choices.length];
      const before = performance.now();
      press(choice);
      byId("Info").getBoundingClientRect(); // the layout of the new scene, as for a paint
      for (const id of ["R1", "R2", "R3", "R4", "R5"]) byId(id).getBoundingClientRect();
      times.push(performance.now() - before);
    }
    return times;
  });
  const sorted = [...changes].sort((a, b) => a - b);
  console.log("scene change (engine + layout), 500 clicks: median " + median(changes).toFixed(2) +
              " ms, 95th percentile " + sorted[Math.floor(sorted.length * 0.95)].toFixed(2) +
              " ms, worst " + sorted[sorted.length - 1].toFixed(2) + " ms (target 4 ms)");
  await browser.close();
  await server.close();
})();
