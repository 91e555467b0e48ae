// The same game in both builds: one seeded script of more than 10,000 commands, played by the
// native tovik-story and by tovik-story.js under Node, must give the same state lines byte for
// byte. The only text that may differ is each player's own folder, where it looks for sounds.
"use strict";

const assert = require("node:assert/strict");
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const { test } = require("node:test");

const kNative = process.env.TOVIK_NATIVE_STORY || path.resolve(__dirname, "../../build/tovik-story");
const kNode = process.env.TOVIK_NODE_STORY || path.resolve(__dirname, "../../build-web/tovik-story.js");

// A script that wanders the whole game: mostly clicks on whatever could be shown, pointer moves,
// every timer (so deaths, banners and victories come round), the exit question answered No,
// and now and then a line that is no command. Drawn from its own small generator.
function script(seed, count) {
  let state = seed >>> 0;
  const next = () => {
    state = (Math.imul(state, 1664525) + 1013904223) >>> 0;
    return state / 4294967296;
  };
  const pick = (list) => list[Math.floor(next() * list.length)];
  const clicks = ["Start", "R1", "R2", "R3", "R4", "R5", "Attack", "Attack", "Attack",
    "Item1", "Item3", "Item4", "EndGame", "WinGame", "Info", "Form"];
  const moves = ["Form", "Start", "R1", "R2", "R3", "R4", "R5", "Info", "Life"];
  const timers = ["HealthTimer", "HealthTimer", "HealthTimer", "Death", "Win", "ColorChanger"];
  const lines = [];
  while (lines.length < count) {
    const roll = next();
    if (roll < 0.6) lines.push("click " + pick(clicks));
    else if (roll < 0.75) lines.push("move " + pick(moves));
    else if (roll < 0.97) lines.push("tick " + pick(timers));
    else if (roll < 0.985) lines.push("click Quit", "answer no");
    else lines.push(pick(["jump R1", "click R9", "tick R1", "answer maybe", ""]));
  }
  return lines.join("\n") + "\n";
}

const play = (command, args, input) => execFileSync(command, args, { input, maxBuffer: 1 << 30, encoding: "utf8" });

test("a seeded script of 12,000 commands gives the same lines natively and under Node", () => {
  const input = script(20241208, 12000);
  // Each player names its own folder in the sound paths.
  const lines = (file, output) =>
    output.split(JSON.stringify(path.dirname(fs.realpathSync(file))).slice(1, -1) + "/").join("<folder>/").split("\n");
  const a = lines(kNative, play(kNative, ["play", "--seed", "424242"], input));
  const b = lines(kNode, play(process.execPath, [kNode, "play", "--seed", "424242"], input));
  assert.ok(a.length > 12000, "one line for the load and one a command");
  for (let i = 0; i < Math.max(a.length, b.length); i++) {
    if (a[i] !== b[i]) assert.fail("line " + (i + 1) + " differs:\n" + a[i] + "\n" + b[i]);
  }
  // The script really plays: scenes, fights, deaths and the victory banner's cycle.
  const scenes = new Set(a.map((line) => (line.match(/^\{"scene": (\d+)/) || [])[1]));
  assert.ok(scenes.size > 20, "it reaches more than 20 scenes, not " + scenes.size);
  assert.ok(a.some((line) => line.includes('"EndGame": {"visible": true')), "a death");
});
