// Saves docs/web.png: the title screen of the browser version, in Debian's headless Chromium.
//   node tools/web_screenshot.js            (after the browser build; run from the project root)
"use strict";

const path = require("path");
const { siteFolder, serve, launch, openGame } = require("../tests/web/harness.js");

(async () => {
  const server = await serve(siteFolder());
  const browser = await launch();
  const page = await openGame(browser, server.url);
  await page.mouse.move(1000, 740);
  const file = path.resolve(__dirname, "../docs/web.png");
  await page.screenshot({ path: file });
  console.log(path.relative(process.cwd(), file));
  await browser.close();
  await server.close();
})();
