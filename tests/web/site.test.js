// The site around the game: a game kept across a reload, Back/Forward and a switch of language,
// play offline after one visit, and a plain Russian message where the game cannot start.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { execFileSync } = require("node:child_process");
const path = require("node:path");
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
async function withServer(missing, body) {
  const server = await serve(siteFolder(), missing);
  try {
    await body(server.url);
  } finally {
    await server.close();
  }
}

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
    await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.ready;
      if (!navigator.serviceWorker.controller) {
        await new Promise((done) => navigator.serviceWorker.addEventListener("controllerchange", done));
      }
      return registration.active.state;
    });
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
    await page.close();
  });
});

// What the page says when it cannot start: in Russian, with a way to try again.
for (const [why, missing, setUp, expected] of [
  ["without WebAssembly", [], () => delete window.WebAssembly, "nowasm"],
  ["when the engine's download fails", ["/tovik.wasm.gz"], () => {}, "download"],
  ["when the engine's script does not arrive", ["/tovik.js.gz"], () => {}, "download"],
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
      assert.equal(shown.retry, "Попробовать снова");
      assert.match(shown.text, /[а-яё]{4,}/);
      assert.doesNotMatch(shown.text.replaceAll("WebAssembly", ""), /[a-z]/i, "no English");
      await page.close();
    });
  });
}
