// What every browser test of the page needs: the site served on the loopback address, Debian's
// Chromium started headless with a fresh profile, and a page that has drawn the title screen.
"use strict";

const fs = require("fs");
const http = require("http");
const os = require("os");
const path = require("path");
const puppeteer = require("puppeteer-core");
const zlib = require("zlib");

const kTypes = {
  ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8", ".css": "text/css; charset=utf-8",
  ".wasm": "application/wasm", ".woff2": "font/woff2", ".png": "image/png", ".webp": "image/webp",
  ".webmanifest": "application/manifest+json", ".wav": "audio/wav", ".mp3": "audio/mpeg",
  ".txt": "text/plain; charset=utf-8",
};

function siteFolder() {
  return process.env.TOVIK_SITE || path.resolve(__dirname, "../../build-web/site");
}

// A static file server for `root` on 127.0.0.1 and a free port, answering a range of bytes as
// web servers do. Paths in `missing` answer 404. `links` makes a path a bad link, and may change
// while it serves: { stallAfter: N } sends N bytes and never ends, { trickle: N } sends N bytes a
// second. `options.compress` packs text as a set-up web server does; `options.link` ({ latency
// ms, bytesPerSecond }) sends every answer over one slow link. `asked` lists [path, Range].
function serve(root, missing = new Set(), links = {}, options = {}) {
  const asked = [];
  const sockets = new Set();
  const slow = options.link ? slowLink(options.link) : null;
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, "http://127.0.0.1");
    const relative = decodeURIComponent(url.pathname === "/" ? "/index.html" : url.pathname);
    const file = path.join(root, path.normalize(relative));
    asked.push([url.pathname, request.headers.range || null]);
    if (!file.startsWith(root) || missing.has(relative)) return response.writeHead(404).end();
    fs.readFile(file, (error, data) => {
      if (error) return response.writeHead(404).end();
      const type = kTypes[path.extname(file)] || "application/octet-stream";
      const headers = { "Content-Type": type, "Cache-Control": "no-store", "Accept-Ranges": "bytes" };
      const range = /^bytes=(\d+)-$/.exec(request.headers.range || "");
      let status = 200;
      if (options.compress && /^text\/|json/.test(type) && /gzip/.test(request.headers["accept-encoding"] || "")) {
        data = zlib.gzipSync(data, { level: 6 });
        headers["Content-Encoding"] = "gzip";
        delete headers["Accept-Ranges"];
      } else if (range && Number(range[1]) < data.length) {
        headers["Content-Range"] = `bytes ${range[1]}-${data.length - 1}/${data.length}`;
        data = data.subarray(Number(range[1]));
        status = 206;
      }
      headers["Content-Length"] = data.length;
      const link = links[url.pathname];
      if (slow) return slow.send(response, status, headers, data);
      response.writeHead(status, headers);
      if (link && link.stallAfter !== undefined) {
        response.write(data.subarray(0, link.stallAfter)); // and no more
      } else if (link && link.trickle) {
        let sent = 0;
        const drip = setInterval(() => {
          if (response.destroyed || sent >= data.length) return clearInterval(drip), response.end();
          response.write(data.subarray(sent, (sent += link.trickle)));
        }, 1000);
        response.on("close", () => clearInterval(drip));
      } else {
        response.end(data);
      }
    });
  });
  server.on("connection", (socket) => {
    sockets.add(socket);
    socket.on("close", () => sockets.delete(socket));
  });
  const close = () =>
    new Promise((done) => {
      for (const socket of sockets) socket.destroy(); // a stalled answer never ends
      server.close(done);
    });
  return new Promise((resolve) =>
    server.listen(0, "127.0.0.1", () => resolve({ url: `http://127.0.0.1:${server.address().port}/`, asked, close }))
  );
}

// One link shared by every answer: each waits `latency` ms, then the bytes of all of them go
// out in turn, `bytesPerSecond` in all.
function slowLink({ latency, bytesPerSecond }) {
  const queue = [];
  const kTickMs = 20;
  setInterval(() => {
    let budget = (bytesPerSecond * kTickMs) / 1000;
    while (budget > 0 && queue.length) {
      const item = queue[0];
      const part = item.data.subarray(item.sent, item.sent + Math.min(budget, 1460));
      item.response.write(part);
      item.sent += part.length;
      budget -= part.length;
      queue.shift();
      if (item.sent >= item.data.length) item.response.end();
      else queue.push(item);
    }
  }, kTickMs).unref();
  return {
    send(response, status, headers, data) {
      setTimeout(() => {
        response.writeHead(status, headers);
        if (data.length === 0) response.end();
        else queue.push({ response, data, sent: 0 });
      }, latency);
    },
  };
}

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "tovik-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.TOVIK_CHROMIUM || "/usr/bin/chromium",
    headless: true,
    // The game's own language: the tests that want another one ask for it with ?lang=.
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           "--user-data-dir=" + profile, "--lang=ru-RU", "--accept-lang=ru-RU,ru"],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A new page of `size` showing the game at `url`, once its title screen has been drawn;
// `prepare(page)` runs before the page loads. `page.problems` collects its errors.
async function openGame(browser, url, size = { width: 1024, height: 768 }, prepare = null) {
  const page = await browser.newPage();
  if (prepare) await prepare(page);
  await page.setViewport(size);
  const problems = [];
  page.on("pageerror", (error) => problems.push(String(error)));
  page.on("console", (message) => {
    if (message.type() === "error") problems.push(message.text());
  });
  page.problems = problems;
  await page.goto(url, { waitUntil: "load" });
  await ready(page);
  return page;
}

const ready = (page) =>
  page.waitForFunction(() => document.documentElement.dataset.ready === "true", { timeout: 30000 });

// The site served and one browser for a whole test file, through node:test's hooks:
// site.open(query, size, prepare) opens the game at the site's address with `query` after it.
function useSite() {
  const { after, before } = require("node:test");
  const site = { open: (query = "", size, prepare) => openGame(site.browser, site.server.url + query, size, prepare) };
  before(async () => Object.assign(site, { server: await serve(siteFolder()), browser: await launch() }));
  after(() => Promise.all([site.browser.close(), site.server.close()]));
  return site;
}

// The clicks of a screenshot script, by control name.
function clicksOf(replay) {
  const script = fs.readFileSync(path.resolve(__dirname, "../../tools/screenshots", replay), "utf8");
  return [...script.matchAll(/^\s*click\s+(\S+)/gm)].map((match) => match[1]);
}

const shown = (page, name) => page.$eval("#" + name, (element) => getComputedStyle(element).display !== "none");

// Clicks as a screenshot script does: a control that is not shown takes no click.
async function clickAll(page, names) {
  for (const name of names) if (await shown(page, name)) await page.click("#" + name);
}

// axe-core's rules broken on the page now, one line each.
async function violations(page) {
  await page.addScriptTag({ path: require.resolve("axe-core/axe.min.js") });
  const result = await page.evaluate(() => window.axe.run(document));
  return result.violations.map((v) => v.id + ": " + v.nodes.map((node) => node.target.join(" ")).join(", "));
}

const phone = (width, height) => ({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });

module.exports = { siteFolder, serve, launch, openGame, ready, useSite, clicksOf, shown, clickAll, violations, phone };
