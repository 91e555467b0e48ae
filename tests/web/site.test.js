// The site around the game: a game kept across a reload and Back/Forward, play offline after one
// visit, and a plain Russian message where the game cannot start.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { siteFolder, serve, launch, openGame } = require("./harness.js");

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

const screen = (page) =>
  page.evaluate(() => ["Info", "Life", "R1"].map((id) => document.getElementById(id).textContent));
const ready = (page) =>
  page.waitForFunction(() => document.documentElement.dataset.ready === "true", { timeout: 10000 });

test("a reload, Back and Forward come back to the same screen; a new game forgets it", async (t) => {
  await withServer(new Set(), async (url) => {
    const page = await openGame(browser, url + "?seed=7");
    if (typeof (await page.evaluate(() => window.tovikGame.saveSnapshot)) === "undefined") {
      t.skip("the engine cannot save a game yet");
      return;
    }
    for (const name of ["Start", "R1", "R3"]) await page.click("#" + name);
    const before = await screen(page);
    await page.reload();
    await ready(page);
    assert.deepEqual(await screen(page), before, "after a reload");
    await page.goto("about:blank");
    await page.goBack();
    await ready(page);
    assert.deepEqual(await screen(page), before, "after Back");
    await page.goBack();
    await page.goForward();
    await ready(page);
    assert.deepEqual(await screen(page), before, "after Forward");

    await page.click("#Quit");
    await page.click("#exit-yes");
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
