#!/usr/bin/env python3
"""Plays the game by keys with Orca listening, in the window or in the page, and checks what
Orca said after each key: the new passage once, then how many choices it offers; every blow of a
fight with both life counts, the last one too; the death passage, then the banner; the exit
question with its buttons, answered «Нет» with Tab and Enter, which keeps the game.

    orca_test.py window BUILD_DIR      (BUILD_DIR/tovik and BUILD_DIR/tovik-story)
    orca_test.py page SITE_DIR STORY   (the page's folder and a native tovik-story)

Exits 77 (skipped) when the desktop or Orca cannot be started, and says why."""

import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from orca_session import SKIP, OrcaSession, Unavailable, missing_tools  # noqa: E402

SEED = "1"
# From the title: the opening, the witch's test, the left tunnel, then the goblin's fight.
TO_FIGHT = ["Return", "1", "1", "5"]
# From the title, the same way to the witch's test, then the one choice that kills.
TO_DEATH = ["Return", "1", "1", "1"]
COUNT_WORDS = {1: "Один", 2: "Два", 3: "Три", 4: "Четыре", 5: "Пять"}
COUNT = re.compile(r"(Один|Два|Три|Четыре|Пять) вариант(а|ов)?\.")
# Orca names the keys pressed; those words are its own, not the game's.
KEY_ECHO = {"return", "escape", "tab", "табуляция", "ввод"}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


class Story:
    """The headless player with the same seed: what each key should bring to the screen."""

    def __init__(self, story):
        self.story = story
        self.clicks = []

    def after(self, click):
        self.clicks.append(click)
        lines = subprocess.run([self.story, "play", "--seed", SEED],
                               input="\n".join(self.clicks) + "\n", capture_output=True,
                               text=True, check=True).stdout.strip().split("\n")
        return json.loads(lines[-1])


def click_of(key, screen):
    controls = screen["controls"] if screen else None
    if key == "Return":
        if controls is None or controls["Start"]["visible"]:
            return "click Start"
        return "click Attack"
    return "click R" + key


def words(text, count=6):
    """The first words of a text, as Orca's log keeps them."""
    return " ".join(text.split()[:count])


class Walk:
    def __init__(self, session, kind):
        self.session = session
        self.kind = kind
        self.heard = len(session.spoken())

    def settle(self, quiet=2.0, longest=12.0):
        """What Orca said since the last call, once it has said more than the key's echo and
        been quiet for a while; the echo left out."""
        start = time.time()
        count = len(self.session.spoken())
        last_change = time.time()
        while time.time() - start < longest:
            time.sleep(0.25)
            now = len(self.session.spoken())
            if now != count:
                count, last_change = now, time.time()
            elif time.time() - last_change >= quiet and self.unechoed(self.heard):
                break
        said = self.unechoed(self.heard)
        self.heard = len(self.session.spoken())
        return said

    def unechoed(self, since):
        return [s for s in self.session.spoken()[since:]
                if s.strip().lower() not in KEY_ECHO and not re.fullmatch(r"\d", s.strip())]

    def press(self, key, **wait):
        self.session.key(key)
        said = self.settle(**wait)
        print("[%s] %s → %s" % (self.kind, key, json.dumps(said, ensure_ascii=False)))
        return said


def index_of(said, pattern):
    for index, utterance in enumerate(said):
        if pattern in utterance:
            return index
    return -1


def check_scene(said, screen, step):
    """The passage once, then the count once, after it."""
    passage = words(screen["controls"]["Info"]["caption"])
    choices = sum(screen["controls"]["R%d" % i]["visible"] for i in range(1, 6))
    joined = " | ".join(said)
    check(joined.count(passage) == 1,
          "%s: the passage «%s…» spoken %d times: %s" % (step, passage, joined.count(passage),
                                                       joined))
    counts = COUNT.findall(joined)
    check(len(counts) == 1 and counts[0][0] == COUNT_WORDS.get(choices),
          "%s: expected the count of %d choices once, after the passage: %s" % (step, choices,
                                                                              joined))
    if counts:
        check(joined.find(passage) < COUNT.search(joined).start(),
              "%s: the count came before the passage: %s" % (step, joined))


def play_to_fight(walk, story):
    screen = None
    for key in TO_FIGHT[:-1]:
        screen = story.after(click_of(key, screen))
        check_scene(walk.press(key), screen, "key " + key)
    # Into the fight: the passage, then the opponent and how to strike.
    screen = story.after(click_of(TO_FIGHT[-1], screen))
    said = walk.press(TO_FIGHT[-1])
    joined = " | ".join(said)
    passage = words(screen["controls"]["Info"]["caption"])
    check(joined.count(passage) == 1, "into the fight: the passage once: " + joined)
    check(screen["NameOpponent"].strip() in joined and "Атака" in joined,
          "into the fight: the opponent and how to strike: " + joined)
    # Every blow, with both life counts, to the last one.
    blows = 0
    while screen["controls"]["Attack"]["visible"] and blows < 40:
        screen = story.after("click Attack")
        said = walk.press("Return")
        joined = " | ".join(said)
        blows += 1
        check(screen["Health"] in joined and (screen["HealthOpponent"] in joined or
                                             not screen["controls"]["Attack"]["visible"]),
              "blow %d: both life counts (%s, %s): %s" % (blows, screen["Health"],
                                                          screen["HealthOpponent"], joined))
        if not screen["controls"]["Attack"]["visible"]:
            # The last blow, then what the fight led to.
            check(re.search(r"\b" + screen["HealthOpponent"] + r"\b", joined) is not None,
                  "the last blow: the opponent's life: " + joined)
            if not screen["controls"]["EndGame"]["visible"]:
                check_scene(said, screen, "after the fight")
    check(blows > 1, "the fight had %d blows" % blows)


def exit_question_kept(walk):
    """The question, its default button, Tab to «Нет», Enter: the game goes on."""
    said = " | ".join(walk.press("Escape"))
    check("выйти из игры" in said and "Да" in said, "the exit question and «Да»: " + said)
    said = " | ".join(walk.press("Tab"))
    check("Нет" in said, "Tab in the exit question: «Нет»: " + said)
    walk.press("Return", longest=6.0)


def play_to_death(walk, story):
    screen = None
    for key in TO_DEATH:
        screen = story.after(click_of(key, screen))
        said = walk.press(key)
    joined = " | ".join(said)
    passage = words(screen["controls"]["Info"]["caption"])
    check(joined.count(passage) == 1, "the death passage once: " + joined)
    # The death timer brings the banner.
    said = walk.settle(quiet=3.0, longest=40.0)
    joined = " | ".join(said)
    print("[%s] (the death timer) → %s" % (walk.kind, json.dumps(said, ensure_ascii=False)))
    check(joined.count("Игра окончена") == 1, "the banner once after the death: " + joined)


def two_games(launch, story, after_question):
    """A game to a fight, its exit question answered «Нет», then `after_question`; then a new
    game played to a death."""
    process, walk = launch()
    play_to_fight(walk, Story(story))
    exit_question_kept(walk)
    after_question(process, walk)
    process.terminate()
    process.wait()
    process, walk = launch()
    play_to_death(walk, Story(story))
    process.terminate()
    process.wait()


def window_games(session, build):
    game = os.path.join(build, "tovik")
    story = os.path.join(build, "tovik-story")

    def launch():
        process = session.run([game, "--seed", SEED])
        walk = Walk(session, "window")
        said = walk.settle(longest=15.0)
        print("[window] start →", json.dumps(said, ensure_ascii=False))
        joined = " | ".join(said)
        check("Товик Ларминов" in joined and "Form1" not in joined,
              "the window is named after the game: " + joined)
        check(joined.count("Играют клавиши") == 1, "the keys are told once: " + joined)
        return process, walk

    def after_question(process, walk):
        check(process.poll() is None, "«Нет» in the exit question ended the game")
        for words_said in ("Полный экран", "Обычное окно"):
            said = " | ".join(walk.press("F11"))
            check(said.count(words_said) == 1, "F11: «%s» once: %s" % (words_said, said))

    two_games(launch, story, after_question)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def page_games(session, site, story):
    port = free_port()
    session.run(["/usr/bin/python3", os.path.join(ROOT, "scripts", "serve_site.py"), site,
                 str(port)])
    chromium = shutil.which("chromium")
    if chromium is None:
        raise Unavailable("chromium is missing")

    def launch():
        profile = tempfile.mkdtemp(prefix="tovik-chromium-", dir=session.work)
        # Its offer to translate a page that is not in its own language would be spoken too.
        os.makedirs(os.path.join(profile, "Default"))
        with open(os.path.join(profile, "Default", "Preferences"), "w") as preferences:
            json.dump({"translate": {"enabled": False}}, preferences)
        process = session.run([
            chromium, "--no-sandbox", "--disable-gpu", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--no-first-run",
            "--no-default-browser-check", "--force-renderer-accessibility", "--disable-features=Translate",
            "--user-data-dir=" + profile, "--window-size=1200,900", "--window-position=0,0",
            "http://127.0.0.1:%d/index.html?lang=ru&seed=%s" % (port, SEED)])
        walk = Walk(session, "page")
        said = walk.settle(quiet=3.0, longest=30.0)
        print("[page] start →", json.dumps(said, ensure_ascii=False))
        joined = " | ".join(said)
        check("Товик Ларминов" in joined, "the page is named after the game: " + joined)
        check("Enter" in joined or "Ввод" in joined, "the page says which keys play: " + joined)
        return process, walk

    def after_question(process, walk):
        check(" | ".join(walk.press("1")) != "", "after «Нет» the page still plays")

    two_games(launch, story, after_question)


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("window", "page"):
        print(__doc__)
        return 2
    missing = missing_tools()
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIP
    session = OrcaSession()
    try:
        session.start()
        if sys.argv[1] == "window":
            window_games(session, sys.argv[2])
        else:
            page_games(session, sys.argv[2], sys.argv[3])
    except Unavailable as why:
        print("skipped:", why)
        return SKIP
    finally:
        session.stop()
    if failures:
        print("%d failures" % len(failures))
        return 1
    print("Orca heard the whole game")
    return 0


if __name__ == "__main__":
    sys.exit(main())
