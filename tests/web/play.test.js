// The page played as a player plays it: real mouse events in Debian's headless Chromium, on a
// seeded game, checking what the page shows. The same seed gives the same dice as the desktop
// window and tovik-story, so the window's screenshot scripts lead to the same screens here.
"use strict";

const assert = require("node:assert/strict");
const fs = require("fs");
const path = require("path");
const { test } = require("node:test");
const { useSite } = require("./harness.js");

const site = useSite();
const kReplays = path.resolve(__dirname, "../../tools/screenshots");

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What the page shows of a control: is it there, its text and its colour.
function look(page, name) {
  return page.$eval("#" + name, (element) => {
    const style = getComputedStyle(element);
    return {
      shown: style.display !== "none" && element.getClientRects().length > 0,
      text: element.textContent,
      colour: style.color,
    };
  });
}

async function centre(page, name) {
  const box = await (await page.$("#" + name)).boundingBox();
  assert.ok(box, name + " has no box");
  return { x: box.x + box.width / 2, y: box.y + Math.min(box.height / 2, 6) };
}

async function click(page, name) {
  const { x, y } = await centre(page, name);
  await page.mouse.click(x, y);
}

async function hover(page, name) {
  const { x, y } = await centre(page, name);
  await page.mouse.move(x, y, { steps: 2 });
}

// The "click NAME" lines of a screenshot script, up to its first tick.
function clicksOf(replay) {
  const clicks = [];
  for (const line of fs.readFileSync(path.join(kReplays, replay), "utf8").split("\n")) {
    const [verb, name] = line.trim().split(/\s+/);
    if (verb === "tick") break;
    if (verb === "click") clicks.push(name);
  }
  return clicks;
}

const kGreen = "rgb(0, 128, 0)";
const kBrightGreen = "rgb(0, 255, 0)";

test("a game from the title through a won fight and an item to the way out", async () => {
  const page = await site.open("?seed=7");
  await page.mouse.move(5, 700);

  // Start lights up under the pointer and goes white again over the background.
  await hover(page, "Start");
  assert.equal((await look(page, "Start")).colour, "rgb(255, 0, 0)");
  await page.mouse.move(5, 700, { steps: 2 });
  assert.equal((await look(page, "Start")).colour, "rgb(255, 255, 255)");

  let fightsWon = 0;
  let itemsClicked = 0;
  let hoverChecked = false;
  for (const name of clicksOf("victory.replay")) {
    if (name === "Attack") {
      const fight = await look(page, "Attack");
      if (!fight.shown) continue; // the fight is over; the script clicks on to be sure
      const opponentBefore = (await look(page, "LifeOpponent")).shown;
      assert.ok(opponentBefore, "the opponent's life is shown during a fight");
      await click(page, "Attack");
      if (!(await look(page, "Attack")).shown) {
        fightsWon += 1;
        assert.equal((await look(page, "EndGame")).shown, false, "the hero won");
        assert.equal((await look(page, "LifeOpponent")).shown, false);
      }
      continue;
    }
    const before = await look(page, name);
    assert.ok(before.shown, name + " is on the screen to be clicked");
    if (!hoverChecked && /^R[2-5]$/.test(name)) {
      // A choice lights up under the pointer; the others stay dark green.
      await hover(page, name);
      assert.equal((await look(page, name)).colour, kBrightGreen);
      assert.equal((await look(page, "R1")).colour, kGreen);
      await hover(page, "Info"); // no move handler: the light stays where it was
      assert.equal((await look(page, name)).colour, kBrightGreen);
      hoverChecked = true;
    }
    const passage = (await look(page, "Info")).text;
    await click(page, name);
    if (name.startsWith("Item")) {
      itemsClicked += 1;
      assert.notEqual((await look(page, "Info")).text, passage, name + " leads on");
    }
  }
  assert.ok(hoverChecked);
  assert.equal(fightsWon, 3, "three fights won with Атака!");
  assert.equal(itemsClicked, 2);
  const passage = await look(page, "Info");
  assert.match(passage.text, /./);
  assert.equal((await look(page, "R1")).shown, false, "the way out offers no choice");
  const sounds = await page.evaluate(() => window.tovikSounds);
  assert.equal(sounds[0], "./TovikSound/dindin.wav");
  assert.ok(sounds.includes("./TovikSound/ydar.wav"), "a blow is heard");
  assert.deepEqual(page.problems, []);
  await page.close();
});

test("a death, its banner after the Death timer, and the banner back to the title", async () => {
  const page = await site.open("?seed=7");
  for (const name of clicksOf("defeat.replay")) await click(page, name);
  assert.equal((await look(page, "R1")).shown, false, "a death scene has no choice");
  await sleep(24000);
  assert.equal((await look(page, "EndGame")).shown, false, "not before 25 seconds");
  await page.waitForFunction(
    () => getComputedStyle(document.getElementById("EndGame")).display !== "none",
    { timeout: 3000 }
  );
  const banner = await look(page, "EndGame");
  assert.equal(banner.text, "Игра окончена! Ларминов погиб.");
  assert.equal(banner.colour, "rgb(255, 0, 0)");
  assert.equal((await look(page, "Info")).shown, false);
  assert.equal((await look(page, "Life")).text, "ЖИЗНЬ: 0");

  await click(page, "EndGame");
  assert.equal((await look(page, "EndGame")).shown, false);
  for (const name of ["NameGame1", "NameGame2", "Start", "Creator", "TovikImage"]) {
    assert.ok((await look(page, name)).shown, name + " is back");
  }
  await page.waitForFunction(() => document.getElementById("Life").textContent === "ЖИЗНЬ: 60");
  assert.deepEqual(page.problems, []);
  await page.close();
});

test("the exit question: No plays on where it stood, Yes closes the game", async () => {
  const page = await site.open("?seed=7");
  await click(page, "Start");
  await click(page, "R1");
  const passage = (await look(page, "Info")).text;

  await click(page, "Quit");
  const question = await page.$eval("#exit-question", (box) => ({
    shown: !box.hidden,
    title: box.querySelector("#exit-title").textContent,
    text: box.querySelector("#exit-text").textContent,
    buttons: [...box.querySelectorAll("button")].map((button) => button.textContent),
    focused: document.activeElement.textContent,
  }));
  assert.deepEqual(question, {
    shown: true,
    title: "Товик Ларминов в магическом подземелье",
    text: "Вы точно хотите выйти из игры «Товик Ларминов в магическом подземелье»?",
    buttons: ["Да", "Нет"],
    focused: "Да",
  });
  assert.equal(await page.$eval("#stage", (stage) => getComputedStyle(stage).visibility), "hidden");
  // Nothing on the hidden stage answers meanwhile.
  await click(page, "exit-no");
  assert.equal(await page.$eval("#exit-question", (box) => box.hidden), true);
  assert.equal((await look(page, "Info")).text, passage, "No leaves the game where it stood");
  assert.equal(await page.$eval("#stage", (stage) => getComputedStyle(stage).visibility), "visible");

  // Escape is No; Enter answers with the focused button, Нет after a Tab, else Да.
  for (const keys of [["Escape"], ["Tab", "Enter"]]) {
    await click(page, "Quit");
    for (const key of keys) await page.keyboard.press(key);
    assert.equal(await page.$eval("#exit-question", (box) => box.hidden), true, keys.join("+"));
    assert.equal((await look(page, "Info")).text, passage, keys.join("+") + " keeps the game");
  }
  await click(page, "Quit");
  await page.keyboard.press("Enter");
  assert.equal(await page.$eval("#closed", (box) => box.hidden), false, "the game says it closed");
  assert.equal(await page.$eval("#stage", (stage) => getComputedStyle(stage).visibility), "hidden");
  const timers = await page.evaluate(() => window.tovikGame.windowState());
  assert.equal(timers, "unloaded");

  await click(page, "start-again");
  assert.ok((await look(page, "Start")).shown, "a new game starts at the title");
  assert.equal(await page.$eval("#closed", (box) => box.hidden), true);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test("a double click on a choice is one click; on Атака! it is two blows", async () => {
  const page = await site.open("?seed=7");
  await click(page, "Start");
  await click(page, "R1");
  // Sc1's first choice, clicked twice in a row as one double click, shows one scene.
  const { x, y } = await centre(page, "R1");
  await page.mouse.click(x, y, { clickCount: 1 });
  await page.mouse.click(x, y, { clickCount: 2 });
  const single = await site.open("?seed=7");
  for (const name of ["Start", "R1", "R1"]) await click(single, name);
  assert.equal((await look(page, "Info")).text, (await look(single, "Info")).text);
  await single.close();
  await page.close();

  const fight = await site.open("?seed=7");
  for (const name of clicksOf("fight.replay")) {
    if (name !== "Attack") await click(fight, name);
  }
  assert.ok((await look(fight, "Attack")).shown);
  const heard = (await fight.evaluate(() => window.tovikSounds.length));
  const blow = await centre(fight, "Attack");
  await fight.mouse.click(blow.x, blow.y, { clickCount: 1 });
  await fight.mouse.click(blow.x, blow.y, { clickCount: 2 });
  assert.equal(await fight.evaluate(() => window.tovikSounds.length), heard + 2, "two blows");
  await fight.close();
});

test("the stage is 1:1 in a big viewport and scales evenly in a small one", async () => {
  const big = await site.open("", { width: 1280, height: 900 });
  const box = await big.$eval("#stage", (stage) => stage.getBoundingClientRect().toJSON());
  assert.deepEqual([box.width, box.height], [1024, 768]);
  assert.deepEqual([box.x, box.y], [128, 66]);
  await big.close();

  // The page would show a phone's column here, unless the player asks for the window's stage.
  const small = await site.open("", { width: 800, height: 500 });
  await small.click('#layout-switch [data-layout="window"]');
  const scaled = await small.$eval("#stage", (stage) => stage.getBoundingClientRect().toJSON());
  assert.ok(Math.abs(scaled.height - 500) < 0.5, "fits the height");
  assert.ok(Math.abs(scaled.width / scaled.height - 1024 / 768) < 0.002, "keeps the aspect");
  // Clicks still land where the controls are drawn.
  await click(small, "Start");
  assert.ok((await look(small, "Info")).shown);
  await small.close();
});
