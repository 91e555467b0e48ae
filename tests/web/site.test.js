// The site around the game: a game kept across a reload, Back/Forward and a switch of language,
// play offline after one visit, an offline copy that is whole or said not to be, a rebuild under
// an open page, a link that stalls or trickles, and a plain Russian message where the game
// cannot start.
"use strict";

const assert = require("node:assert/strict");
const fs = require("fs");
const os = require("os");
const path = require("path");
const { after, before, test } = require("node:test");
const { execFileSync, spawnSync } = require("node:child_process");
const { siteFolder, serve, launch, openGame } = require("./harness.js");

const kNative = process.env.TOVIK_NATIVE_STORY || path.resolve(__dirname, "../../build/tovik-story");

let browser;
before(async () => {
  browser = await launch();
});
after(async () => {
  await browser.close();
});

// Each test has a server of its own, so an offline copy from one cannot serve another.
async function withServer(missing, body, links = {}, root = siteFolder()) {
  const server = await serve(root, missing, links);
  try {
    await body(server.url, server);
  } finally {
    await server.close();
  }
}

// The page's offline worker is in charge of it.
const controlled = (page) =>
  page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    if (!navigator.serviceWorker.controller) {
      await new Promise((done) => navigator.serviceWorker.addEventListener("controllerchange", done));
    }
  });
const offlineSaid = (page) =>
  page
    .waitForFunction(() => !document.getElementById("offline-status").hidden, { timeout: 20000 })
    .then(() => page.$eval("#offline-status", (status) => status.textContent));
const storedBuilds = (page) =>
  page.evaluate(async () => (await caches.keys()).filter((name) => name !== "tovik-pages"));

// What the page shows: every control's text, colour and presence, and the open message box.
const screen = (page) =>
  page.evaluate(() => ({
    controls: [...document.querySelectorAll("#stage [data-control]")].map((element) => [
      element.id,
      element.textContent,
      getComputedStyle(element).color,
      getComputedStyle(element).display !== "none",
    ]),
    question: document.getElementById("exit-question").hidden
      ? null
      : document.getElementById("exit-text").textContent,
  }));
const shownControls = (page) =>
  page.evaluate(() =>
    [...document.querySelectorAll("#stage [data-control]")]
      .filter((element) => getComputedStyle(element).display !== "none")
      .map((element) => element.id)
  );
const ready = (page) =>
  page.waitForFunction(() => document.documentElement.dataset.ready === "true", { timeout: 30000 });
const reloaded = async (page) => {
  await page.reload();
  await ready(page);
  return screen(page);
};
// The life labels follow the life watch's tick, twice a second: a screen is compared once they have.
const settled = (page) => page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 700)));
const kept = (page) => page.evaluate(() => sessionStorage.getItem("tovik-game"));

// The native player's screen after restoring `record`: each control's caption and presence.
function nativeScreen(record) {
  const line = "restore " + JSON.stringify(record).slice(1, -1) + "\n";
  const replies = execFileSync(kNative, ["play"], { input: line, maxBuffer: 1 << 26 })
    .toString()
    .trim()
    .split("\n");
  const state = JSON.parse(replies[replies.length - 1]);
  assert.equal(state.error, undefined, state.error);
  return state.controls;
}

test("a reload in a fight, in the exit question, after a switch of language, and at 100,000 events comes back to the same screen; a new game forgets it", async (t) => {
  await withServer(new Set(), async (url) => {
    const page = await openGame(browser, url + "?seed=7");
    // The skeleton's fight, two blows in.
    for (const name of ["Start", "R1", "R3", "R1", "Attack", "Attack"]) await page.click("#" + name);
    await settled(page);
    const fight = await screen(page);
    assert.ok((await shownControls(page)).includes("Attack"), "a fight is on");
    assert.deepEqual(await reloaded(page), fight, "a reload in a fight");
    await page.goto("about:blank");
    await page.goBack();
    await ready(page);
    assert.deepEqual(await screen(page), fight, "after Back");
    await page.goBack();
    await page.goForward();
    await ready(page);
    assert.deepEqual(await screen(page), fight, "after Forward");

    await page.click("#Quit");
    const question = await screen(page);
    assert.ok(question.question);
    assert.deepEqual(await reloaded(page), question, "a reload in the exit question");
    await page.click("#exit-no");
    await page.click("#Attack");
    await settled(page);
    const russian = await screen(page);
    const shown = await shownControls(page);

    await Promise.all([page.waitForNavigation(), page.click("#language-switch")]);
    await ready(page);
    assert.equal(await page.evaluate(() => document.documentElement.lang), "en");
    assert.deepEqual(await shownControls(page), shown, "the same game in English");
    assert.notDeepEqual(await screen(page), russian, "in English words");
    assert.deepEqual(await reloaded(page), await screen(page), "a reload in English");
    await Promise.all([page.waitForNavigation(), page.click("#language-switch")]);
    await ready(page);
    assert.deepEqual(await screen(page), russian, "and back in Russian");

    // The game so far, then 100,000 events more: moves over the fight and the life watch's ticks.
    const record = await kept(page);
    const lines = record.split("\n");
    let events = Number(lines.pop().slice("end ".length));
    const pattern = ["move Form", "move Attack", "tick HealthTimer"];
    if (lines[lines.length - 1] === pattern[0]) pattern.push(pattern.shift());
    for (const first = events; events < first + 100000; events++) {
      lines.push(pattern[(events - first) % pattern.length]);
    }
    const long = lines.join("\n") + "\nend " + events;
    // Stored as the reloaded page starts, once: the old one may store its own game till it goes.
    await page.evaluateOnNewDocument((text) => {
      if (sessionStorage.getItem("injected") === null) {
        sessionStorage.setItem("injected", "");
        sessionStorage.setItem("tovik-game", text);
      }
    }, long);
    await page.reload();
    await ready(page);
    const restoredLong = await screen(page);
    const ms = await page.evaluate(() => performance.getEntriesByName("tovik-restore")[0].duration);
    t.diagnostic(`restored ${events} events, ${long.length} bytes, in ${ms.toFixed(0)} ms`);
    const native = nativeScreen(long);
    for (const [id, text, , visible] of restoredLong.controls) {
      assert.equal(visible, native[id].visible, id);
      if (visible && native[id].caption !== undefined) assert.equal(text, native[id].caption, id);
    }
    const played = long.slice(0, long.lastIndexOf("\n"));
    assert.ok((await kept(page)).startsWith(played), "the record kept as it was read");

    await page.click("#Quit");
    await page.click("#exit-yes");
    assert.equal(await kept(page), null, "a game left is not kept");
    await page.reload();
    await ready(page);
    assert.equal(await page.$eval("#Start", (start) => getComputedStyle(start).display), "block");
    await page.close();
  });
});

test("after one visit the page is installable, and starts and plays its sounds with no network", async () => {
  await withServer(new Set(), async (url) => {
    const page = await openGame(browser, url + "?seed=7");
    await controlled(page);
    assert.equal(await offlineSaid(page), "Игра сохранена для игры без сети");
    const cdp = await page.createCDPSession();
    const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
    assert.deepEqual(installabilityErrors, [], "Chromium would install the page as an app");
    await page.setOfflineMode(true);
    const failed = [];
    const sounds = [];
    // A fetch the reload cuts short is not the network failing; the engine's arriving shows.
    page.on("requestfailed", (request) => {
      if (request.failure().errorText !== "net::ERR_ABORTED") failed.push(request.url());
    });
    page.on("response", (response) => {
      if (response.url().includes("/TovikSound/")) sounds.push([response.status(), response.fromServiceWorker()]);
    });
    await page.reload();
    await ready(page);
    await page.click("#Start"); // the title's sound
    await page.waitForFunction(() => window.tovikSounds.length > 0);
    await page.waitForFunction(() => performance.getEntriesByType("resource").some((e) => e.name.includes("/TovikSound/")));
    assert.deepEqual(failed, []);
    assert.deepEqual(sounds, [[200, true]]);
    assert.ok(await page.$eval("#Info", (info) => info.textContent.length > 0), "the first scene is up");
    assert.equal(await page.$eval("#offline-status", (status) => status.hidden), true, "said once only");
    await page.close();
  });
});

test("a copy with a file missing is not kept, and the page says the game will not open offline", async () => {
  await withServer(new Set(["/TovikSound/voda.mp3"]), async (url) => {
    const page = await openGame(browser, url);
    assert.match(await offlineSaid(page), /не удалось сохранить для игры без сети/);
    assert.deepEqual(await storedBuilds(page), [], "no partial copy is left");
    await page.close();
  });
  // The build itself stops where a file on the list is not in the site.
  const site = fs.mkdtempSync(path.join(os.tmpdir(), "tovik-site-"));
  fs.writeFileSync(path.join(site, "tovik.js"), "0");
  const built = spawnSync(
    "python3",
    [path.resolve(__dirname, "../../web/make_site.py"), "worker", site, path.resolve(__dirname, "../../web/site/sw.js"),
     path.join(site, "sw.js"), path.join(site, "tovik.js"), path.join(site, "TovikSound/voda.mp3")],
    { encoding: "utf8", timeout: 30000 }
  );
  assert.notEqual(built.status, 0);
  assert.match(built.stderr, /TovikSound\/voda\.mp3/);
  assert.equal(fs.existsSync(path.join(site, "sw.js")), false);
  fs.rmSync(site, { recursive: true, force: true });
});

test("link previews name the page and its picture by full address only when the build knows it", () => {
  const page = fs.readFileSync(path.join(siteFolder(), "index.html"), "utf8");
  assert.match(page, /<meta property="og:image" content="preview.png">/);
  assert.doesNotMatch(page, /og:url/);
  const out = path.join(os.tmpdir(), "tovik-index-" + process.pid + ".html");
  const made = spawnSync(
    "python3",
    [path.resolve(__dirname, "../../web/make_site.py"), "page", path.resolve(__dirname, "../../web/site/index.html"), out,
     "--site-url=https://example.org/tovik", process.execPath, path.join(siteFolder(), "..", "tovik_page_words.js")],
    { encoding: "utf8", timeout: 30000 }
  );
  assert.equal(made.status, 0, made.stderr);
  const addressed = fs.readFileSync(out, "utf8");
  fs.rmSync(out);
  assert.match(addressed, /<meta property="og:url" content="https:\/\/example.org\/tovik\/">/);
  assert.match(addressed, /<meta property="og:image" content="https:\/\/example.org\/tovik\/preview.png">/);
});

test("a rebuild under an open page: it keeps its own build's sounds, a new page gets the new ones", async () => {
  const site = fs.mkdtempSync(path.join(os.tmpdir(), "tovik-site-"));
  fs.cpSync(siteFolder(), site, { recursive: true });
  const sound = async (page) =>
    page.evaluate(async () => {
      const bytes = new Uint8Array(await (await fetch("TovikSound/dindin.mp3")).arrayBuffer());
      return bytes.length + ":" + bytes.reduce((sum, byte) => (sum * 31 + byte) % 1000003, 0);
    });
  try {
    await withServer(
      new Set(),
      async (url) => {
        const old = await openGame(browser, url + "?seed=7");
        await controlled(old);
        const before = await sound(old);
        // The new build: another sound under the same name, and a worker of another version.
        fs.copyFileSync(path.join(site, "TovikSound/voda.mp3"), path.join(site, "TovikSound/dindin.mp3"));
        const worker = path.join(site, "sw.js");
        fs.writeFileSync(worker, fs.readFileSync(worker, "utf8").replace(/kVersion = "[^"]*"/, 'kVersion = "rebuilt"'));
        await old.evaluate(async () => {
          const changed = new Promise((done) => navigator.serviceWorker.addEventListener("controllerchange", done));
          await (await navigator.serviceWorker.getRegistration()).update();
          await changed;
        });
        await old.click("#Start"); // the title's sound, as the old page plays it
        await old.waitForFunction(() => window.tovikSounds.length > 0);
        assert.equal(await sound(old), before, "the open page's sound is its own build's");
        const fresh = await openGame(browser, url + "?seed=7");
        assert.notEqual(await sound(fresh), before, "a page opened now has the new build's");
        assert.equal((await storedBuilds(fresh)).length, 2, "both builds are kept while both are open");
        await old.close();
        await fresh.reload();
        await fresh.waitForFunction(() => document.documentElement.dataset.ready === "true");
        assert.deepEqual(await storedBuilds(fresh), ["tovik-rebuilt"], "the old build goes with its last page");
        await fresh.close();
      },
      {},
      site
    );
  } finally {
    fs.rmSync(site, { recursive: true, force: true });
  }
});

// A link that stops sending, or sends too slowly to ever finish: the page says so within seconds,
// and the retry carries on from where the download stopped.
for (const [how, file, link] of [
  ["stalls half-way", "/tovik.wasm.gz", { stallAfter: 30000 }],
  ["trickles", "/tovik.js.gz", { trickle: 100 }],
]) {
  test(`a download that ${how} is reported, and the retry finishes it`, { timeout: 90000 }, async () => {
    const links = { [file]: link };
    await withServer(
      new Set(),
      async (url, server) => {
        const page = await browser.newPage();
        await page.goto(url);
        // A key while the engine is on its way (a screen reader's Control) breaks nothing.
        await page.keyboard.press("Control");
        await page.waitForFunction(() => document.documentElement.dataset.failed, { timeout: 30000 });
        const shown = await page.evaluate(() => ({
          failed: document.documentElement.dataset.failed,
          text: document.getElementById("loader-problem-text").textContent,
          retry: document.activeElement.textContent,
        }));
        assert.deepEqual(shown, {
          failed: "stalled",
          text:
            "Загрузка игры остановилась: данные перестали приходить. " +
            "Проверьте подключение к интернету и попробуйте снова.",
          retry: "Попробовать снова",
        });
        delete links[file];
        await page.click("#loader-retry");
        await page.waitForFunction(() => document.documentElement.dataset.ready === "true", { timeout: 30000 });
        const resumed = server.asked.filter(([asked, range]) => asked === file && range);
        assert.equal(resumed.length, 1, "the rest of the file was asked for");
        assert.match(resumed[0][1], /^bytes=[1-9]\d*-$/);
        await page.close();
      },
      links
    );
  });
}

// What the page says when it cannot start: in Russian, with a way to try again.
for (const [why, missing, setUp, expected, says] of [
  ["without WebAssembly", [], () => delete window.WebAssembly, "nowasm", /не может запустить игру.*современном браузере/],
  ["when the engine's code is missing", ["/tovik.wasm.gz"], () => {}, "missing", /На сайте не хватает файла игры/],
  ["when the engine's script is missing", ["/tovik.js.gz"], () => {}, "missing", /На сайте не хватает файла игры/],
  ["when the connection breaks", [], () => {
    const real = window.fetch;
    window.fetch = (file, options) => (String(file).includes("wasm") ? Promise.reject(new TypeError("network")) : real(file, options));
  }, "download", /связь прервалась/],
]) {
  test(`a plain Russian message ${why}`, async () => {
    await withServer(new Set(missing), async (url) => {
      const page = await browser.newPage();
      await page.evaluateOnNewDocument(setUp);
      await page.goto(url);
      await page.waitForFunction(() => document.documentElement.dataset.failed, { timeout: 10000 });
      const shown = await page.evaluate(() => ({
        failed: document.documentElement.dataset.failed,
        text: document.getElementById("loader").innerText,
        retry: document.activeElement.textContent,
      }));
      assert.equal(shown.failed, expected);
      assert.match(shown.text.replace(/\s+/g, " "), says);
      assert.equal(shown.retry, "Попробовать снова");
      assert.match(shown.text, /[а-яё]{4,}/);
      assert.doesNotMatch(shown.text.replaceAll("WebAssembly", ""), /[a-z]/i, "no English");
      await page.close();
    });
  });
}
