#!/usr/bin/env python3
"""Plays the game by keys with Orca listening, in the window or in the page, and checks what
Orca said after each key: the new passage once, then how many choices it offers; both life
counts as a fight starts, and every blow of it with both, the last one too; the death passage,
then the banner; the exit question with its buttons, answered «Нет» with Tab and Enter, which
keeps the game, and from a choice's button too, after which the digits still play and the keys
help is not said again; the life total after a heal; the listener's own keys (life, items, the
passage again, the choices) and the words for a key that does nothing. The window also plays to
the victory, whose passage is said whole before the banner, and is named in English in English.

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
# From the title: a choice, then the exit question from the first choice's button, answered
# «Нет»; the digits must still reach the game. The road goes on past a scroll to a heal, 60
# to 65.
TRAP_SEED = "16"
TRAP_QUESTION = ["Return", "1", "Tab", "Escape", "Tab", "Return"]
TO_HEAL = ["2", "2", "2", "1", "1"]
# The listener's keys on the healed scene, and what each must bring.
LISTENER_KEYS = [("l", "ЖИЗНЬ: 65."), ("b", "Предметы: Свиток."), ("c", "1: "), ("t", None),
                 ("4", "Четвёртого варианта нет."), ("Return", "Выберите вариант: 1")]
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

    def __init__(self, story, seed=SEED):
        self.story = story
        self.seed = seed
        self.clicks = []

    def after(self, click):
        self.clicks.append(click)
        lines = subprocess.run([self.story, "play", "--seed", self.seed],
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
    counts = "ЖИЗНЬ: %s. %s: %s." % (screen["Health"], screen["NameOpponent"].strip(),
                                     screen["HealthOpponent"])
    check(counts in joined, "into the fight: both counts, %s: %s" % (counts, joined))
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


def trap_and_heal(walk, story, kind):
    """The exit question asked from a choice's button and answered «Нет»; then the digits play
    on to a heal, whose new total is said, and the listener's keys are answered there."""
    screen = None
    for key in TRAP_QUESTION[:2]:
        screen = story.after(click_of(key, screen))
        walk.press(key)
    said = " | ".join(walk.press("Tab"))
    said = " | ".join(walk.press("Escape"))
    check("выйти из игры" in said and "''" not in said, "the question, quoted: " + said)
    walk.press("Tab")
    said = " | ".join(walk.press("Return", longest=6.0))
    check("Играют клавиши" not in said and "The keys" not in said,
          "after «Нет» the keys help is not said again: " + said)
    for key in TO_HEAL:
        screen = story.after(click_of(key, screen))
        said = walk.press(key)
        joined = " | ".join(said)
        check("заголов" not in joined.lower() and "heading" not in joined.lower(),
              "after «Нет» the reader reads the game, not the page's headings: " + joined)
        check_scene(said, screen, "after «Нет», key " + key)
    check("ЖИЗНЬ: 65." in joined, "the life total after the heal: " + joined)
    passage = words(screen["controls"]["Info"]["caption"])
    for key, expected in LISTENER_KEYS:
        joined = " | ".join(walk.press(key))
        if expected is None:
            check(joined.count(passage) == 1 and COUNT.search(joined),
                  "%s: the passage again with its count: %s" % (key, joined))
        else:
            check(expected in joined, "%s: «%s»: %s" % (key, expected, joined))


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


def games(launch, story, after_question, kind):
    """A game to a fight, its exit question answered «Нет», then `after_question`; a new game
    played to a death; one more, with the question asked from a button, played to a heal."""
    process, walk = launch(SEED)
    play_to_fight(walk, Story(story))
    exit_question_kept(walk)
    after_question(process, walk)
    process.terminate()
    process.wait()
    process, walk = launch(SEED)
    play_to_death(walk, Story(story))
    process.terminate()
    process.wait()
    process, walk = launch(TRAP_SEED)
    trap_and_heal(walk, Story(story, TRAP_SEED), kind)
    process.terminate()
    process.wait()


def window_games(session, build):
    game = os.path.join(build, "tovik")
    story = os.path.join(build, "tovik-story")

    def launch(seed, *more):
        process = session.run([game, "--seed", seed, *more])
        walk = Walk(session, "window")
        said = walk.settle(longest=15.0)
        print("[window] start →", json.dumps(said, ensure_ascii=False))
        walk.start = said
        joined = " | ".join(said)
        if "--lang" not in more:
            check("Товик Ларминов" in joined and "Form1" not in joined,
                  "the window is named after the game: " + joined)
            check(joined.count("Играют клавиши") == 1, "the keys are told once: " + joined)
            check("рамка" not in joined, "the window is not called a frame: " + joined)
        return process, walk

    def after_question(process, walk):
        check(process.poll() is None, "«Нет» in the exit question ended the game")
        for words_said in ("Полный экран", "Обычное окно"):
            said = " | ".join(walk.press("F11"))
            check(said.count(words_said) == 1, "F11: «%s» once: %s" % (words_said, said))

    games(launch, story, after_question, "window")

    # In English the window is named in English, not spelt out from the Russian.
    process, walk = launch(SEED, "--lang", "en")
    joined = " | ".join(walk.start)
    check("Tovik Larminov" in joined and "Товик" not in joined,
          "the English window's name is English: " + joined)
    process.terminate()
    process.wait()

    victory(session, game, story)


def victory(session, game, story):
    """The way out, replayed to its last choice, which the player makes: the passage, which
    takes longer to say than the banner's timer, is said whole, then the banner."""
    replay = os.path.join(ROOT, "tools", "screenshots", "victory.replay")
    lines = open(replay, encoding="utf-8").read().split("\n")
    last = max(i for i, line in enumerate(lines) if line.startswith("click R"))
    short = os.path.join(session.work, "to-the-way-out.replay")
    with open(short, "w", encoding="utf-8") as out:
        out.write("\n".join(lines[:last]) + "\n")
    process = session.run([game, "--seed", "7", "--replay", short])
    walk = Walk(session, "window")
    walk.settle(quiet=3.0, longest=30.0)
    clicks = [line for line in lines[:last + 1] if line and not line.startswith("#")]
    screen = json.loads(subprocess.run([story, "play", "--seed", "7"],
                                       input="\n".join(clicks) + "\n", capture_output=True,
                                       text=True, check=True).stdout.strip().split("\n")[-1])
    passage = screen["controls"]["Info"]["caption"]
    banner = screen["controls"]["WinGame"]["caption"]
    key = lines[last].split()[-1][1:]
    session.key(key)
    said_at = time.time()
    banner_at = None
    # The banner's timer runs 25 s; the passage takes longer to say.
    while time.time() - said_at < 90:
        time.sleep(0.25)
        spoken = walk.unechoed(walk.heard)
        if any(banner.split()[0] in utterance for utterance in spoken):
            banner_at = time.time()
            break
    said = walk.unechoed(walk.heard)
    print("[window] %s → %s" % (key, json.dumps(said, ensure_ascii=False)))
    joined = " | ".join(said)
    check(joined.count(words(passage)) == 1 and joined.find(words(passage)) <
          joined.find(banner.split()[0]), "the victory passage, then the banner: " + joined)
    # Orca's log tells when words went to the voice, not when they were said; the passage takes
    # a default voice about 55 s, and the banner, due at 25 s, must not cut into it.
    waited = None if banner_at is None else banner_at - said_at
    print("[window] the banner was said %s s after the passage" % (
        None if waited is None else round(waited, 1)))
    check(waited is not None and waited > 45, "the banner waits for the passage: %s" % waited)
    process.terminate()
    process.wait()


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

    launches = []

    def launch(seed):
        # Tall enough for the stage at 1:1 under the browser's bars: the page as on a desktop;
        # the second game in a narrow window, where the page is the reading column of a phone.
        launches.append(seed)
        size = "700,1000" if len(launches) == 2 else "1260,1020"
        profile = tempfile.mkdtemp(prefix="tovik-chromium-", dir=session.work)
        # Its offer to translate a page that is not in its own language would be spoken too.
        os.makedirs(os.path.join(profile, "Default"))
        with open(os.path.join(profile, "Default", "Preferences"), "w") as preferences:
            json.dump({"translate": {"enabled": False}}, preferences)
        console = os.path.join(session.work, "chromium.err")
        console_from = os.path.getsize(console) if os.path.exists(console) else 0
        process = session.run([
            chromium, "--no-sandbox", "--disable-gpu", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--no-first-run",
            "--no-default-browser-check", "--force-renderer-accessibility", "--disable-features=Translate",
            "--enable-logging=stderr",
            "--user-data-dir=" + profile, "--window-size=" + size, "--window-position=0,0",
            "http://127.0.0.1:%d/index.html?lang=ru&seed=%s" % (port, seed)])
        walk = Walk(session, "page")
        began = walk.heard
        walk.settle(quiet=3.0, longest=30.0)
        # Orca reads the page aloud as it loads, and while it does it takes no focus for a
        # reason to leave browse mode, where the digits are its own. A player who has heard
        # enough stops it with Control, as here, before starting the game.
        session.key("ctrl")
        time.sleep(2)
        said = walk.unechoed(began)
        print("[page] start →", json.dumps(said, ensure_ascii=False))
        joined = " | ".join(said)
        # The page's console, which Chromium copies to its log, says why a game did not start.
        with open(console, errors="replace") as log:
            log.seek(console_from)
            for line in log:
                if "could not start" in line:
                    print("[page] console:", line.strip())
        check("Товик Ларминов" in joined, "the page is named after the game: " + joined)
        check("Enter" in joined or "Ввод" in joined, "the page says which keys play: " + joined)
        check("embedded" not in joined, "no browser's role word for the game: " + joined)
        walk.heard = len(session.spoken())
        return process, walk

    def after_question(process, walk):
        check(" | ".join(walk.press("1")) != "", "after «Нет» the page still plays")

    games(launch, story, after_question, "page")


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
