// Figures of the browser build, measured in Debian's headless Chromium (not a test: it prints):
// the gzip-compressed size of the code and of the whole site, the time from navigation to the
// first painted title screen, and the time of a scene change (engine and layout); then first
// visits, unthrottled and over a slow link (400 kbit/s each way, 400 ms latency, Chromium's own
// network emulation): when words of the page's language are first on the screen, whether it
// ever goes blank after, when СТАРТ takes a click, the bytes that came before it, and the
// offline copy the worker then keeps. The site is served as the README's web server setup serves it, text
// packed. With --firefox the first visits are made in Debian's Firefox ESR as well, whose slow
// link is made by the test server, as Firefox cannot slow its own.
//   node tools/web_benchmark.js            (after the browser build; run from the project root)
//   node tools/web_benchmark.js --restore  (only the restore of a game's record of 100,000 events)
//   node tools/web_benchmark.js --first-visit [--firefox] [--lang en] [--url http://127.0.0.1:8000/]
//                                          (only the first visits; --lang: the page's language,
//                                          whose words are waited for; --url: a running server)
"use strict";

const fs = require("fs");
const path = require("path");
const zlib = require("zlib");
const { siteFolder, serve, launch, openGame } = require("../tests/web/harness.js");
const puppeteer = require("../tests/web/node_modules/puppeteer-core");

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

const kSlowLink = { latency: 400, bytesPerSecond: 50000 };
const askedUrl = process.argv.includes("--url") ? process.argv[process.argv.indexOf("--url") + 1] : null;
const language = process.argv.includes("--lang") ? process.argv[process.argv.indexOf("--lang") + 1] : "ru";
// A word of the page's language on the screen: three letters of its alphabet.
const kWordOf = { ru: "[А-Яа-яЁё]{3}", en: "[A-Za-z]{3}" };

(async () => {
  if (process.argv.includes("--first-visit")) {
    await allFirstVisits();
    return;
  }
  if (process.argv.includes("--restore")) {
    const server = await serve(site, new Set(), {}, { compress: true });
    const browser = await launch();
    await restores(browser, server.url);
    await browser.close();
    await server.close();
    return;
  }
  const code = ["index.html", "tovik.css", "tovik-view.js", "tovik.js", "tovik.wasm"];
  const codeBytes = code.reduce((sum, file) => sum + gzipped(path.join(site, file)), 0);
  const siteBytes = filesUnder(site).reduce((sum, file) => sum + gzipped(file), 0);
  console.log("code (page, view script, engine), gzip -9: " + kib(codeBytes) + " (target 1024 KiB)");
  console.log("whole site, each file gzip -9:            " + kib(siteBytes) + " (target 2048 KiB)");

  const server = await serve(site, new Set(), {}, { compress: true });
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

  await restores(browser, server.url);
  await browser.close();
  await server.close();
  await allFirstVisits();
})();

// The page's restore of a game's record on a reload: the same 100,000 events of short games
// as tools/benchmark.sh restores natively, timed by the page around the engine's restore.
async function restores(browser, address) {
  const times = [];
  const cpu = [];
  let bytes = 0;
  for (let run = 0; run < 5; run++) {
    const page = await openGame(browser, address + "?seed=1");
    const first = (await page.evaluate(() => sessionStorage.getItem("tovik-game"))).split("\n")[0];
    const game = ["click Start", "move R1", "click R1 *3", "tick Death", "tick HealthTimer", "click EndGame"];
    const lines = [first];
    for (let i = 0; i < 12500; i++) lines.push(...game);
    const record = lines.join("\n") + "\nend 100000";
    bytes = record.length;
    // Stored as the reloaded page starts: the old one may store its own game till it goes.
    await page.evaluateOnNewDocument((text) => sessionStorage.setItem("tovik-game", text), record);
    await page.reload();
    await page.waitForFunction(() => document.documentElement.dataset.ready === "true", { timeout: 60000 });
    const entry = await page.evaluate(() => {
      const measured = performance.getEntriesByName("tovik-restore")[0];
      return measured ? measured.duration : null;
    });
    const kept = await page.evaluate(() => sessionStorage.getItem("tovik-game"));
    // The life watch's ticks since the reload are added to it; the game before them is there.
    const played = record.slice(0, record.lastIndexOf("\n"));
    if (entry === null || !kept || !kept.startsWith(played)) throw new Error("the page refused the record");
    times.push(entry);
    // The same restore again, as the main thread's CPU time: on a busy machine the wall clock
    // counts the other programs' turns too.
    const client = await page.target().createCDPSession();
    await client.send("Performance.enable");
    const threadTime = async () =>
      (await client.send("Performance.getMetrics")).metrics.find((metric) => metric.name === "ThreadTime");
    const before = await threadTime();
    await page.evaluate((text) => window.tovikGame.restoreRecord(text), record);
    const after = await threadTime();
    if (before && after) cpu.push((after.value - before.value) * 1000);
    await page.close();
  }
  console.log(`restore of a record of 100,000 events (${kib(bytes)}) on a reload, median of 5: ` +
              `${median(times).toFixed(0)} ms` +
              (cpu.length ? `, ${median(cpu).toFixed(0)} ms of the main thread's CPU` : "") +
              " (target well under 1000 ms)");
}

async function allFirstVisits() {
  const browsers = ["chromium"];
  if (process.argv.includes("--firefox")) browsers.push("firefox");
  for (const browserName of browsers) {
    for (const [name, slow] of [
      ["unthrottled", false],
      ["400 kbit/s, 400 ms", true],
    ]) {
      // Chromium slows its own link; for Firefox the server sends at the link's pace, which a
      // server of --url does not.
      if (slow && browserName === "firefox" && askedUrl) {
        console.log("first visit, firefox, slow link: not with --url, whose server is not slowed");
        continue;
      }
      const server = await serve(site, new Set(), {}, {
        compress: true,
        link: slow && browserName === "firefox" ? kSlowLink : null,
      });
      const visits = [];
      for (let run = 0; run < 3; run++) visits.push(await firstVisit(browserName, askedUrl || server.url, slow));
      await server.close();
      const middle = (key) => median(visits.map((visit) => visit[key]));
      console.log(`first visit, ${browserName}, ${name}, median of 3: first paint ${middle("paint").toFixed(0)} ms, ` +
                  `${language} words ${middle("words").toFixed(0)} ms (target 2500), blank after them ` +
                  `${visits.filter((visit) => visit.blankAfter).length} of 3 (target 0), СТАРТ ` +
                  `clickable ${middle("start").toFixed(0)} ms (target 10000), bytes before СТАРТ ` +
                  `${kib(middle("bytes"))} (target 200 KiB), offline copy ${kib(middle("offline"))} ` +
                  `(target 450 KiB), saved ${visits.filter((visit) => visit.saved).length} of 3`);
    }
  }
}

function launchFirefox() {
  const profile = fs.mkdtempSync(path.join(require("os").tmpdir(), "tovik-firefox-"));
  return puppeteer
    .launch({
      browser: "firefox",
      executablePath: process.env.TOVIK_FIREFOX || "/usr/bin/firefox-esr",
      headless: true,
      userDataDir: profile,
      extraPrefsFirefox: { "intl.accept_languages": "ru-RU, ru" },
    })
    .then((browser) => {
      const close = browser.close.bind(browser);
      browser.close = async () => {
        await close();
        fs.rmSync(profile, { recursive: true, force: true });
      };
      return browser;
    });
}

// One first visit in a fresh browser, over the slow link or not. Each frame the page notes
// whether words of its language are visible, so a blank frame after the first words is caught.
async function firstVisit(browserName, address, slow) {
  const fresh = browserName === "firefox" ? await launchFirefox() : await launch();
  const page = await fresh.newPage();
  await page.setViewport({ width: 1024, height: 768 });
  if (browserName === "chromium") {
    const network = await page.createCDPSession();
    await network.send("Network.enable");
    await network.send("Network.setCacheDisabled", { cacheDisabled: true });
    if (slow) {
      await network.send("Network.emulateNetworkConditions", {
        offline: false,
        latency: kSlowLink.latency,
        downloadThroughput: kSlowLink.bytesPerSecond,
        uploadThroughput: kSlowLink.bytesPerSecond,
      });
    }
  }
  await page.evaluateOnNewDocument((word) => {
    window.tovikFrames = [];
    const look = () => {
      // What a player could read: the loading screen, or the stage once it is shown.
      const visible = document.querySelectorAll(
        "#loader:not([hidden]), #stage:not(.loading):not(.hidden), .message-box:not([hidden])"
      );
      const text = [...visible].map((element) => element.innerText).join(" ");
      window.tovikFrames.push([performance.now(), new RegExp(word).test(text)]);
      requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  }, kWordOf[language]);
  await page.goto(address + (address.includes("?") ? "&" : "?") + "lang=" + language, { waitUntil: "domcontentloaded", timeout: 120000 });
  await page.waitForFunction(() => document.documentElement.dataset.ready === "true", {
    timeout: 120000,
    polling: 50,
  });
  const seen = await page.evaluate(() => {
    const start = performance.getEntriesByName("tovik-title-painted")[0].startTime;
    // Every byte over the wire, headers included, for what was asked before the title was up.
    const asked = performance.getEntriesByType("resource").filter((entry) => entry.startTime < start);
    return {
      frames: window.tovikFrames,
      start,
      paint: performance.getEntriesByName("first-contentful-paint")[0].startTime,
      bytes: [performance.getEntriesByType("navigation")[0], ...asked].reduce(
        (sum, entry) => sum + entry.transferSize,
        0
      ),
    };
  });
  // The offline copy: what the worker keeps once the page says it is saved.
  const kept = await page
    .waitForFunction(() => document.getElementById("offline-status").dataset.saved, { timeout: 120000 })
    .then(() =>
      page.evaluate(async () => {
        let bytes = 0;
        for (const name of await caches.keys()) {
          if (!name.startsWith("tovik-") || name === "tovik-pages") continue;
          const cache = await caches.open(name);
          for (const request of await cache.keys()) bytes += (await (await cache.match(request)).arrayBuffer()).byteLength;
        }
        return { saved: document.getElementById("offline-status").dataset.saved === "true", bytes };
      })
    )
    .catch(() => ({ saved: false, bytes: 0 }));
  await fresh.close();
  const first = seen.frames.findIndex(([, words]) => words);
  return {
    paint: seen.paint,
    words: Math.max(seen.paint, seen.frames[first][0]),
    blankAfter: seen.frames.slice(first).some(([, words]) => !words),
    start: seen.start,
    bytes: seen.bytes,
    offline: kept.bytes,
    saved: kept.saved,
  };
}
