// The page played as a player plays it, on seeded games whose dice are the desktop window's, so
// the window's screenshot scripts lead to the same screens: by mouse at the desktop's size, in
// English, and by taps on phones in the reading layout; and axe-core's rules on the way.
"use strict";

const assert = require("node:assert/strict");
const { test } = require("node:test");
const { useSite, clicksOf, violations, phone, ready } = require("./harness.js");

const site = useSite();

const look = (page, name) =>
  page.$eval("#" + name, (element) => ({
    shown: getComputedStyle(element).display !== "none" && element.getClientRects().length > 0,
    text: element.textContent,
    colour: getComputedStyle(element).color,
  }));

async function centre(page, name) {
  const box = await (await page.$("#" + name)).boundingBox();
  assert.ok(box, name + " has no box");
  return { x: box.x + box.width / 2, y: box.y + Math.min(box.height / 2, 6) };
}
const click = async (page, name) => page.mouse.click(...Object.values(await centre(page, name)));
const hover = async (page, name) => page.mouse.move(...Object.values(await centre(page, name)), { steps: 2 });

const twice = async (page, name) => {
  const { x, y } = await centre(page, name);
  await page.mouse.click(x, y, { clickCount: 1 });
  await page.mouse.click(x, y, { clickCount: 2 });
};

const kGreen = "rgb(0, 128, 0)";
const kBrightGreen = "rgb(0, 255, 0)";

// On a phone: the targets smaller than a finger, the fight's controls off the screen, and the
// passage's and choices' sizes.
function measure(page) {
  return page.evaluate(() => {
    const shown = (element) => element && getComputedStyle(element).display !== "none";
    const of = (element) => ({ id: element.id, font: parseFloat(getComputedStyle(element).fontSize),
                               height: element.getBoundingClientRect().height, colour: getComputedStyle(element).color });
    const byId = (ids) => ids.map((id) => document.getElementById(id)).filter(shown);
    return {
      small: [...document.querySelectorAll(".clickable, button, a[href], [role=button]")]
        .filter((element) => element.getClientRects().length > 0 && getComputedStyle(element).visibility === "visible")
        .map((element) => [element.id || element.textContent, element.getBoundingClientRect()])
        .filter(([, box]) => box.width < 44 || box.height < 44)
        .map(([name, box]) => `${name} ${box.width.toFixed(1)}×${box.height.toFixed(1)}`),
      offScreen: (shown(document.getElementById("Attack")) ? byId(["Attack", "Item1", "Item2", "Item3", "Item4"]) : [])
        .filter((element) => element.getBoundingClientRect().top < 0 || element.getBoundingClientRect().bottom > innerHeight)
        .map((element) => element.id),
      scrolled: window.scrollY,
      layout: document.documentElement.dataset.layout,
      info: byId(["Info"]).map(of)[0],
      choices: byId(["R1", "R2", "R3", "R4", "R5"]).map(of),
      sideways: document.documentElement.scrollWidth > window.innerWidth,
    };
  });
}

for (const row of [
  { how: "by mouse", query: "?seed=7", mouse: true, axe: true, double: true },
  { how: "by mouse in English", query: "?lang=en&seed=7", mouse: true, english: true },
  { how: "by taps on a phone in portrait", query: "?seed=7", size: phone(390, 844), axe: true },
  { how: "by taps on a small phone", query: "?seed=7", size: phone(360, 640) },
  { how: "by taps on a phone in landscape", query: "?seed=7", size: phone(844, 390), landscape: true },
]) {
  test(`a game ${row.how} from the title through three won fights and two items to the way out`, { timeout: 120000 }, async () => {
    const page = await site.open(row.query, row.size);
    assert.equal(await page.$eval("html", (html) => html.lang), row.english ? "en" : "ru");
    if (row.mouse) {
      // Start lights up under the pointer and goes white again over the background.
      for (const [to, colour] of [["Start", "rgb(255, 0, 0)"], [null, "rgb(255, 255, 255)"]]) {
        await (to ? hover(page, to) : page.mouse.move(5, 700, { steps: 2 }));
        assert.equal((await look(page, "Start")).colour, colour);
      }
    } else {
      const title = await measure(page);
      assert.deepEqual([title.layout, title.small], ["reading", []], "every target on the title is a finger's size");
    }
    // axe-core's rules on the title, the first fight and the first scene of five choices.
    const axeSeen = [];
    const axe = async (what) => {
      if (!row.axe || axeSeen.includes(what)) return;
      axeSeen.push(what);
      assert.deepEqual(await violations(page), [], what);
    };
    await axe("title");
    let [fightsWon, items, hoverChecked] = [0, 0, !row.mouse];
    for (const name of clicksOf("victory.replay")) {
      if (!(await look(page, name)).shown) {
        assert.equal(name, "Attack", name + " is there to be clicked"); // the fight is over
        continue;
      }
      if (name === "Attack") assert.ok((await look(page, "LifeOpponent")).shown, "the opponent's life");
      if (!hoverChecked && /^R[2-5]$/.test(name)) {
        // A choice lights up under the pointer, the others stay dark; Info has no move handler.
        await hover(page, name);
        assert.equal((await look(page, name)).colour, kBrightGreen);
        assert.equal((await look(page, "R1")).colour, kGreen);
        await hover(page, "Info");
        assert.equal((await look(page, name)).colour, kBrightGreen);
        hoverChecked = true;
      }
      // A choice tapped at the top of the page leaves the page there.
      const atTop = await page.$eval("#" + name, (control) => {
        const box = control.getBoundingClientRect();
        return window.scrollY === 0 && box.top >= 0 && box.bottom <= window.innerHeight;
      });
      const passage = (await look(page, "Info")).text;
      if (row.double && name === "Attack") {
        row.double = false; // a double click on Атака! is two blows
        const heard = await page.evaluate(() => window.tovikSounds.length);
        await twice(page, name);
        assert.equal(await page.evaluate(() => window.tovikSounds.length), heard + 2, "two blows");
      } else if (row.mouse) await click(page, name);
      else await (await page.$("#" + name)).tap();
      if ((await look(page, "R5")).shown) await axe("five choices");
      if (name === "Attack" && (await look(page, "Attack")).shown) await axe("fight");
      if (name === "Attack" && !(await look(page, "Attack")).shown) {
        fightsWon += 1;
        assert.deepEqual([(await look(page, "EndGame")).shown, (await look(page, "LifeOpponent")).shown], [false, false], "won");
      }
      if (name.startsWith("Item")) {
        items += 1;
        assert.notEqual((await look(page, "Info")).text, passage, name + " leads on");
      }
      const russian = (elements) => elements.filter((e) => e.checkVisibility() && /[\u0400-\u04FF]/.test(e.textContent)).map((e) => e.id);
      if (row.english) assert.deepEqual(await page.$$eval("#stage .control", russian), [], "after a click on " + name);
      if (row.size) {
        const now = await measure(page);
        assert.equal(now.sideways, false, "nothing scrolls sideways after " + name);
        assert.deepEqual(now.small, [], "every target is a finger's size after " + name);
        if (row.landscape) assert.deepEqual(now.offScreen, [], "the fight is in view after " + name);
        if (atTop) assert.equal(now.scrolled, 0, "the page stays at its top after " + name);
        if (now.info) assert.ok(now.info.font >= 16, "the passage is " + now.info.font + " px");
        for (const choice of now.choices) {
          assert.ok(choice.font >= 16 && choice.height >= 44, `${choice.id}: ${choice.font} px, ${choice.height} px tall`);
          assert.equal(choice.colour, kGreen, choice.id + " is not lit after a tap: a finger does not hover");
        }
      }
    }
    assert.ok(hoverChecked && !row.double);
    assert.equal(axeSeen.length, row.axe ? 3 : 0);
    assert.deepEqual([fightsWon, items], [3, 2], "fights won, items used");
    assert.equal((await look(page, "R1")).shown, false, "the way out offers no choice");
    const sounds = await page.evaluate(() => window.tovikSounds);
    assert.ok(sounds[0] === "./TovikSound/dindin.wav" && sounds.includes("./TovikSound/ydar.wav"), "the title's, a blow's");
    if (row.size) {
      // The life bar stays in view wherever the column is scrolled.
      await page.evaluate(() => window.scrollTo(0, document.body.scrollHeight));
      const life = await page.$eval("#Life", (label) => label.getBoundingClientRect().toJSON());
      assert.ok(life.top >= 0 && life.bottom <= row.size.height, "the life bar is in view");
    }
    assert.deepEqual(page.problems, []);
    await page.close();
  });
}

for (const [query, banner] of [
  ["?seed=7", "Игра окончена! Ларминов погиб."],
  ["?lang=en&seed=7", "Game over! Larminov is dead."],
]) {
  test(`a death ${query}: its banner after the Death timer, said and clean, then back to the title`, { timeout: 60000 }, async () => {
    const page = await site.open(query);
    for (const name of clicksOf("defeat.replay")) await click(page, name);
    assert.equal((await look(page, "R1")).shown, false, "a death scene has no choice");
    await new Promise((resolve) => setTimeout(resolve, 24000));
    assert.equal((await look(page, "EndGame")).shown, false, "not before 25 seconds");
    await page.waitForFunction(() => document.getElementById("EndGame").checkVisibility(), { timeout: 3000 });
    const shown = await look(page, "EndGame");
    const said = await page.$eval("#announcer", (region) => region.textContent);
    assert.deepEqual([shown.text, shown.colour, said, (await look(page, "Info")).shown], [banner, "rgb(255, 0, 0)", banner, false]);
    assert.match((await look(page, "Life")).text, /: 0$/);
    assert.deepEqual(await violations(page), [], "axe-core on the defeat banner");
    await click(page, "EndGame");
    for (const name of ["EndGame", "NameGame1", "NameGame2", "Start", "Creator", "TovikImage"]) {
      assert.equal((await look(page, name)).shown, name !== "EndGame", name);
    }
    await page.waitForFunction(() => /: 60$/.test(document.getElementById("Life").textContent));
    assert.deepEqual(page.problems, []);
    await page.close();
  });
}

test("the exit question: No plays on where it stood, Yes closes the game; a double click on a choice is one click", async () => {
  const page = await site.open("?seed=7");
  await click(page, "Start");
  await click(page, "R1");
  const passage = (await look(page, "Info")).text;
  const stage = () => page.$eval("#stage", (element) => getComputedStyle(element).visibility);
  const hidden = (id) => page.$eval("#" + id, (box) => box.hidden);
  await click(page, "Quit");
  const question = await page.$eval("#exit-question", (box) => [
    !box.hidden,
    box.querySelector("#exit-title").textContent,
    box.querySelector("#exit-text").textContent,
    [...box.querySelectorAll("button")].map((button) => button.textContent),
    document.activeElement.textContent,
  ]);
  const title = "Товик Ларминов в магическом подземелье";
  assert.deepEqual(question, [true, title, `Вы точно хотите выйти из игры «${title}»?`, ["Да", "Нет"], "Да"]);
  assert.equal(await stage(), "hidden");
  // The No button, Escape, and Enter after a Tab to Нет each keep the game.
  for (const keys of [[], ["Escape"], ["Tab", "Enter"]]) {
    if (keys.length) await click(page, "Quit");
    else await click(page, "exit-no");
    for (const key of keys) await page.keyboard.press(key);
    assert.equal(await hidden("exit-question"), true, keys.join("+"));
    assert.equal((await look(page, "Info")).text, passage, keys.join("+") + " keeps the game");
    assert.equal(await stage(), "visible");
  }
  await twice(page, "R1");
  const single = await site.open("?seed=7");
  for (const name of ["Start", "R1", "R1"]) await click(single, name);
  assert.equal((await look(page, "Info")).text, (await look(single, "Info")).text, "a double click is one");
  await single.close();
  await click(page, "Quit");
  await page.keyboard.press("Enter");
  assert.equal(await hidden("closed"), false, "the game says it closed");
  assert.equal(await stage(), "hidden");
  assert.equal(await page.evaluate(() => window.tovikGame.windowState()), "unloaded");
  await click(page, "start-again");
  assert.ok((await look(page, "Start")).shown, "a new game starts at the title");
  assert.equal(await hidden("closed"), true);
  assert.deepEqual(page.problems, []);
  await page.close();
});

test("the stage is 1:1 where it fits; each zoom step enlarges the text; the layout switch is remembered and scales the stage evenly", { timeout: 120000 }, async () => {
  // A browser's zoom shrinks the viewport in CSS px and raises the pixels per CSS px alike: the
  // passage, in device pixels, must grow at each step.
  let previous = 0;
  for (const zoom of [1, 1.1, 1.25, 1.5, 2.5]) {
    const size = { width: Math.floor(1280 / zoom), height: Math.floor(800 / zoom), deviceScaleFactor: zoom };
    const page = await site.open("?seed=7", size);
    if (zoom === 1) {
      const box = await page.$eval("#stage", (stage) => stage.getBoundingClientRect().toJSON());
      assert.deepEqual([box.width, box.height, box.x, box.y], [1024, 768, 128, 16]);
    }
    await page.click("#Start");
    await page.click("#R1");
    const onScreen = await page.$eval("#Info", (info) => {
      const scale = info.getBoundingClientRect().width / info.offsetWidth;
      return parseFloat(getComputedStyle(info).fontSize) * scale * window.devicePixelRatio;
    });
    const layout = await page.evaluate(() => document.documentElement.dataset.layout);
    if (zoom === 1 || zoom === 2.5) assert.equal(layout, zoom === 1 ? "window" : "reading");
    assert.ok(onScreen > previous * 1.05, `at ${zoom * 100}% the passage is ${onScreen} device px, after ${previous}`);
    previous = onScreen;
    await page.close();
  }

  // Where the page would show the reading column, the player may ask for the window's stage.
  const page = await site.open("", { width: 800, height: 500 });
  const layout = () => page.evaluate(() => document.documentElement.dataset.layout);
  assert.equal(await layout(), "reading");
  await page.click('#layout-switch [data-layout="window"]');
  await page.reload();
  await ready(page);
  assert.equal(await layout(), "window", "the choice outlives a reload");
  const scaled = await page.$eval("#stage", (stage) => stage.getBoundingClientRect().toJSON());
  assert.ok(Math.abs(scaled.height - 500) < 0.5, "fits the height");
  assert.ok(Math.abs(scaled.width / scaled.height - 1024 / 768) < 0.002, "keeps the aspect");
  await click(page, "Start"); // clicks still land where the controls are drawn
  assert.ok((await look(page, "Info")).shown);
  await page.click('#layout-switch [data-layout="reading"]');
  assert.equal(await layout(), "reading");
  await page.close();
});
