// What every browser test of the page needs: the site served on the loopback address, Debian's
// Chromium started headless with a fresh profile, and a page that has drawn the title screen.
"use strict";

const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");
const puppeteer = require("puppeteer-core");

const kTypes = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".wasm": "application/wasm",
  ".woff2": "font/woff2",
  ".png": "image/png",
  ".webmanifest": "application/manifest+json",
  ".wav": "audio/wav",
  ".txt": "text/plain; charset=utf-8",
};

// The site folder: TOVIK_SITE, or build-web/site beside the sources.
function siteFolder() {
  return process.env.TOVIK_SITE || path.resolve(__dirname, "../../build-web/site");
}

// A static file server for `root` on 127.0.0.1 and a free port. `missing` names paths that
// answer 404 as if the file were not there.
function serve(root, missing = new Set()) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, "http://127.0.0.1");
    const relative = decodeURIComponent(url.pathname === "/" ? "/index.html" : url.pathname);
    const file = path.join(root, path.normalize(relative));
    if (!file.startsWith(root) || missing.has(relative)) {
      response.writeHead(404).end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      const type = kTypes[path.extname(file)] || "application/octet-stream";
      response.writeHead(200, { "Content-Type": type, "Cache-Control": "no-store" });
      response.end(data);
    });
  });
  return new Promise((resolve) => {
    server.listen(0, "127.0.0.1", () => {
      resolve({
        url: "http://127.0.0.1:" + server.address().port + "/",
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "tovik-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.TOVIK_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: [
      "--headless",
      "--no-sandbox",
      "--disable-gpu",
      "--disable-quic",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--user-data-dir=" + profile,
      // The game's own language: the tests that want another one ask for it with ?lang=.
      "--lang=ru-RU",
      "--accept-lang=ru-RU,ru",
    ],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A new page of `size` showing the game at `url`, once its title screen has been drawn.
async function openGame(browser, url, size = { width: 1024, height: 768 }) {
  const page = await browser.newPage();
  await page.setViewport(size);
  const problems = [];
  page.on("pageerror", (error) => problems.push(String(error)));
  page.on("console", (message) => {
    if (message.type() === "error") problems.push(message.text());
  });
  page.problems = problems;
  await page.goto(url, { waitUntil: "load" });
  await page.waitForFunction(() => document.documentElement.dataset.ready === "true", {
    timeout: 10000,
  });
  return page;
}

// The site served and one browser, for a test file's before(); stopSite() for its after().
async function startSite() {
  return { server: await serve(siteFolder()), browser: await launch() };
}
async function stopSite({ server, browser }) {
  await browser.close();
  await server.close();
}

// The same for a whole test file, through node:test's hooks: site.open(query, size) opens the
// game at the site's address with `query` after it.
function useSite() {
  const { after, before } = require("node:test");
  const site = { open: (query = "", size) => openGame(site.browser, site.server.url + query, size) };
  before(async () => Object.assign(site, await startSite()));
  after(() => stopSite(site));
  return site;
}

module.exports = { siteFolder, serve, launch, openGame, startSite, stopSite, useSite };
