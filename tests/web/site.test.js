// The site around the game: a game kept across a reload, Back/Forward and a switch of language,
// play offline after one visit, an offline copy that is whole or said not to be, a rebuild under
// an open page, and a plain Russian message where the game cannot start or its download stalls.
"use strict";

const assert = require("node:assert/strict");
const fs = require("fs");
const os = require("os");
const path = require("path");
const { after, before, test } = require("node:test");
const { execFileSync, spawnSync } = require("node:child_process");
const { siteFolder, serve, launch, openGame, ready } = require("./harness.js");

const kNative = process.env.TOVIK_NATIVE_STORY || path.resolve(__dirname, "../../build/tovik-story");
const kMakeSite = path.resolve(__dirname, "../../web/make_site.py");

let browser;
before(async () => (browser = await launch()));
after(() => browser.close());

// Each test has a server of its own, so an offline copy from one cannot serve another.
async function withServer(missing, body, links = {}, root = siteFolder()) {
  const server = await serve(root, missing, links);
  await body(server.url, server).finally(() => server.close());
}

// The page's offline worker is in charge of it.
const controlled = (page) =>
  page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    if (!navigator.serviceWorker.controller) {
      await new Promise((done) => navigator.serviceWorker.addEventListener("controllerchange", done));
    }
  });
const offlineSaid = async (page) => {
  await page.waitForFunction(() => !document.getElementById("offline-status").hidden, { timeout: 20000 });
  return page.$eval("#offline-status", (status) => status.textContent);
};
const storedBuilds = (page) =>
  page.evaluate(async () => (await caches.keys()).filter((name) => name !== "tovik-pages"));

// What the page shows: every control's text, colour and presence, and the open message box.
const screen = (page) =>
  page.evaluate(() => ({
    controls: [...document.querySelectorAll("#stage [data-control]")].map((element) => {
      const style = getComputedStyle(element);
      return [element.id, element.textContent, style.color, style.display !== "none"];
    }),
    question: document.getElementById("exit-question").hidden ? null : document.getElementById("exit-text").textContent,
  }));
const shownControls = async (page) => (await screen(page)).controls.filter((control) => control[3]).map(([id]) => id);
const reloaded = async (page) => (await page.reload(), await ready(page), screen(page));
// The life labels follow the life watch's tick, twice a second: a screen is compared once they have.
const settled = (page) => page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 700)));
const kept = (page) => page.evaluate(() => sessionStorage.getItem("tovik-game"));

// The native player's screen after restoring `record`: each control's caption and presence.
function nativeScreen(record) {
  const line = "restore " + JSON.stringify(record).slice(1, -1) + "\n";
  const replies = execFileSync(kNative, ["play"], { input: line, maxBuffer: 1 << 26 }).toString().trim().split("\n");
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
    for (const [how, go] of [
      ["a reload in a fight", () => page.reload()],
      ["after Back", async () => (await page.goto("about:blank"), page.goBack())],
      ["after Forward", async () => (await page.goBack(), page.goForward())],
    ]) {
      await go();
      await ready(page);
      assert.deepEqual(await screen(page), fight, how);
    }
    await page.click("#Quit");
    const question = await screen(page);
    assert.ok(question.question);
    assert.deepEqual(await reloaded(page), question, "a reload in the exit question");
    await page.click("#exit-no");
    await page.click("#Attack");
    await settled(page);
    const russian = await screen(page);
    const shown = await shownControls(page);
    // The translation is fetched only for the language played, and the switch is remembered.
    const fetchedTranslation = () =>
      page.evaluate(() => performance.getEntriesByType("resource").some((entry) => entry.name.includes(".catalogue")));
    assert.equal(await fetchedTranslation(), false, "a Russian page downloads no English");
    const switchLanguage = async () => (await Promise.all([page.waitForNavigation(), page.click("#language-switch")]), ready(page));
    await switchLanguage();
    assert.equal(await page.evaluate(() => document.documentElement.lang), "en");
    assert.equal(await fetchedTranslation(), true);
    assert.deepEqual(await shownControls(page), shown, "the same game in English");
    assert.notDeepEqual(await screen(page), russian, "in English words");
    assert.deepEqual(await reloaded(page), await screen(page), "a reload in English");
    const another = await openGame(browser, url);
    assert.equal(await another.$eval("#language-switch", (link) => link.textContent), "Русский", "English is remembered");
    await another.close();
    await switchLanguage();
    assert.deepEqual(await screen(page), russian, "and back in Russian");
    // The game so far, then 100,000 events more: moves over the fight and the life watch's ticks.
    const record = await kept(page);
    const lines = record.split("\n");
    const events = Number(lines.pop().slice("end ".length)) + 100000;
    const pattern = ["move Form", "move Attack", "tick HealthTimer"];
    if (lines[lines.length - 1] === pattern[0]) pattern.push(pattern.shift());
    for (let i = 0; i < 100000; i++) lines.push(pattern[i % pattern.length]);
    const long = lines.join("\n") + "\nend " + events;
    // Stored as the reloaded page starts, once: the old one may store its own game till it goes.
    await page.evaluateOnNewDocument((text) => {
      if (sessionStorage.getItem("injected") === null) {
        sessionStorage.setItem("injected", "");
        sessionStorage.setItem("tovik-game", text);
      }
    }, long);
    await reloaded(page);
    const ms = await page.evaluate(() => performance.getEntriesByName("tovik-restore")[0].duration);
    t.diagnostic(`restored ${events} events, ${long.length} bytes, in ${ms.toFixed(0)} ms`);
    const native = nativeScreen(long);
    for (const [id, text, , visible] of (await screen(page)).controls) {
      assert.equal(visible, native[id].visible, id);
      if (visible && native[id].caption !== undefined) assert.equal(text, native[id].caption, id);
    }
    assert.ok((await kept(page)).startsWith(long.slice(0, long.lastIndexOf("\n"))), "the record kept as it was read");
    await page.click("#Quit");
    await page.click("#exit-yes");
    assert.equal(await kept(page), null, "a game left is not kept");
    await reloaded(page);
    assert.equal(await page.$eval("#Start", (start) => getComputedStyle(start).display), "block");
    await page.close();
  });
});

test("a copy with a file missing is not kept and said so; after one visit the page is installable and plays with its sounds offline; after a rebuild it keeps its own build's sounds, a new page gets the new ones", async () => {
  const site = fs.mkdtempSync(path.join(os.tmpdir(), "tovik-site-"));
  fs.cpSync(siteFolder(), site, { recursive: true });
  const sound = (page) =>
    page.evaluate(async () => {
      const bytes = new Uint8Array(await (await fetch("TovikSound/dindin.mp3")).arrayBuffer());
      return bytes.length + ":" + bytes.reduce((sum, byte) => (sum * 31 + byte) % 1000003, 0);
    });
  try {
    await withServer(new Set(["/TovikSound/voda.mp3"]), async (url) => {
      const page = await openGame(browser, url);
      assert.match(await offlineSaid(page), /не удалось сохранить для игры без сети/, "a copy with a file missing");
      assert.deepEqual(await storedBuilds(page), [], "no partial copy is left");
      await page.close();
    });
    await withServer(new Set(), async (url) => {
      const old = await openGame(browser, url + "?seed=7");
      await controlled(old);
      assert.equal(await offlineSaid(old), "Игра сохранена для игры без сети");
      const { installabilityErrors } = await (await old.createCDPSession()).send("Page.getInstallabilityErrors");
      assert.deepEqual(installabilityErrors, [], "Chromium would install the page as an app");
      await old.setOfflineMode(true);
      const failed = [];
      const sounds = [];
      // A fetch the reload cuts short is not the network failing; the engine's arriving shows.
      old.on("requestfailed", (request) => {
        if (request.failure().errorText !== "net::ERR_ABORTED") failed.push(request.url());
      });
      old.on("response", (response) => {
        if (response.url().includes("/TovikSound/")) sounds.push([response.status(), response.fromServiceWorker()]);
      });
      await reloaded(old);
      await old.click("#Start"); // the title's sound
      await old.waitForFunction(() => performance.getEntriesByType("resource").some((e) => e.name.includes("/TovikSound/")));
      assert.deepEqual([failed, sounds], [[], [[200, true]]]);
      const shown = await old.evaluate(() => [document.getElementById("Info").textContent.length > 0,
                                             document.getElementById("offline-status").hidden]);
      assert.deepEqual(shown, [true, true], "the first scene is up, and the copy said once only");
      await old.setOfflineMode(false);
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
      assert.equal(await sound(old), before, "the open page's sound is its own build's");
      const fresh = await openGame(browser, url + "?seed=7");
      assert.notEqual(await sound(fresh), before, "a page opened now has the new build's");
      assert.equal((await storedBuilds(fresh)).length, 2, "both builds are kept while both are open");
      await old.close();
      await reloaded(fresh);
      assert.deepEqual(await storedBuilds(fresh), ["tovik-rebuilt"], "the old build goes with its last page");
      await fresh.close();
    }, {}, site);
  } finally {
    fs.rmSync(site, { recursive: true, force: true });
  }
});

test("the build refuses an offline copy missing a file, and names the page by full address only when it knows it", () => {
  const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "tovik-site-"));
  const made = (...args) => spawnSync("python3", [kMakeSite, ...args], { encoding: "utf8", timeout: 30000 });
  try {
    fs.writeFileSync(path.join(scratch, "tovik.js"), "0");
    const worker = made("worker", scratch, path.resolve(__dirname, "../../web/site/sw.js"), path.join(scratch, "sw.js"),
                        path.join(scratch, "tovik.js"), path.join(scratch, "TovikSound/voda.mp3"));
    // One line naming the file, and no worker.
    assert.ok(worker.status !== 0 && !fs.existsSync(path.join(scratch, "sw.js")));
    assert.match(worker.stderr, /^[^\n]*TovikSound\/voda\.mp3[^\n]*\n?$/);

    const page = fs.readFileSync(path.join(siteFolder(), "index.html"), "utf8");
    assert.match(page, /<meta property="og:image" content="preview.png">/);
    assert.doesNotMatch(page, /og:url/);
    const out = path.join(scratch, "index.html");
    const addressed = made("page", path.resolve(__dirname, "../../web/site/index.html"), out, "--site-url=https://example.org/tovik",
                           process.execPath, path.join(siteFolder(), "..", "tovik_page_words.js"));
    assert.equal(addressed.status, 0, addressed.stderr);
    const text = fs.readFileSync(out, "utf8");
    assert.match(text, /<meta property="og:url" content="https:\/\/example.org\/tovik\/">/);
    assert.match(text, /<meta property="og:image" content="https:\/\/example.org\/tovik\/preview.png">/);
  } finally {
    fs.rmSync(scratch, { recursive: true, force: true });
  }
});

// Where the game cannot start, or its download stops or trickles too slowly to ever finish, the
// page says why in plain Russian within seconds, with a way to try again; a retry after a stall
// carries on from where the download stopped.
for (const [why, missing, links, setUp, expected, says] of [
  ["without WebAssembly", [], {}, () => delete window.WebAssembly, "nowasm", /не может запустить игру.*современном браузере/],
  ["when the engine's code is missing", ["/tovik.wasm.gz"], {}, () => {}, "missing", /На сайте не хватает файла игры/],
  ["when the engine's script is missing", ["/tovik.js.gz"], {}, () => {}, "missing", /На сайте не хватает файла игры/],
  ["when the connection breaks", [], {}, () => {
    const real = window.fetch;
    window.fetch = (file, options) => (String(file).includes("wasm") ? Promise.reject(new TypeError("network")) : real(file, options));
  }, "download", /связь прервалась/],
  ["when the download stalls half-way", [], { "/tovik.wasm.gz": { stallAfter: 30000 } }, () => {}, "stalled", /^/],
  ["when the download trickles", [], { "/tovik.js.gz": { trickle: 100 } }, () => {}, "stalled", /^/],
]) {
  test(`a plain Russian message ${why}`, { timeout: 90000 }, async () => {
    await withServer(new Set(missing), async (url, server) => {
      const page = await browser.newPage();
      await page.evaluateOnNewDocument(setUp);
      await page.goto(url);
      // A key while the engine is on its way (a screen reader's Control), or a phone turned,
      // breaks nothing.
      await page.keyboard.press("Control");
      await page.setViewport({ width: 844, height: 390 });
      await page.waitForFunction(() => document.documentElement.dataset.failed, { timeout: 30000 });
      const shown = await page.evaluate(() => ({
        failed: document.documentElement.dataset.failed,
        text: document.getElementById("loader").innerText.replace(/\s+/g, " "),
        problem: document.getElementById("loader-problem-text").textContent,
        retry: document.activeElement.textContent,
      }));
      assert.deepEqual([shown.failed, shown.retry], [expected, "Попробовать снова"]);
      assert.match(shown.text, says);
      assert.ok(/[а-яё]{4,}/.test(shown.text) && !/[a-z]/i.test(shown.text.replaceAll("WebAssembly", "")), "no English");
      if (expected === "stalled") {
        assert.equal(shown.problem, "Загрузка игры остановилась: данные перестали приходить. " +
                                    "Проверьте подключение к интернету и попробуйте снова.");
        const [file] = Object.keys(links);
        delete links[file];
        await page.click("#loader-retry");
        await ready(page);
        const resumed = server.asked.filter(([asked, range]) => asked === file && range);
        assert.equal(resumed.length, 1, "the rest of the file was asked for");
        assert.match(resumed[0][1], /^bytes=[1-9]\d*-$/);
      }
      await page.close();
    }, links);
  });
}
