#!/usr/bin/env python3
"""A real screen-reader client: reads the game window over AT-SPI and plays it through the
accessibility action interface, as any reader would. Run by screen_reader_test.sh inside its
own D-Bus session and virtual display; takes the game's executable as its only argument."""

import subprocess
import sys
import time

import pyatspi


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def wait_for(what, find, seconds=15.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def game_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tovik":
            # A client area named after the game, where a reader would add "frame" to the name.
            for child in app:
                if child is not None and child.getRoleName() in ("frame", "window", "filler"):
                    return child
    return None


def tree(window):
    """The window's children as (role, name, object), read afresh."""
    return [(c.getRoleName(), c.name, c) for c in window if c is not None]


def press(accessible):
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() in ("press", "click"):
            return action.doAction(i)
    fail("%s has no press action" % accessible.name)


def passage(window):
    return next((name for role, name, _ in tree(window)
                 if role in ("label", "filler") and len(name) > 80), None)


def choices(window):
    return [obj for role, name, obj in tree(window) if role == "push button" and name != "Выход"]


def main():
    game = subprocess.Popen([sys.argv[1], "--seed", "3"])
    try:
        window = wait_for("the game window on the accessibility bus", game_window)
        items = tree(window)
        names = [name for _, name, _ in items]
        print("title screen:", names)
        buttons = {name: obj for role, name, obj in items if role == "push button"}
        for expected in ("СТАРТ", "Выход"):
            if expected not in buttons:
                fail("no button named %s on the title screen: %s" % (expected, names))
        if "Товик Ларминов, юный некромант" not in names:
            fail("the hero's portrait has no name: %s" % names)
        for hidden in ("Свиток", "Трезубец", "Атака!", "Игра окончена! Ларминов погиб."):
            if hidden in names:
                fail("a hidden control is exposed: " + hidden)
        for role, name, obj in items:
            if not obj.getState().contains(pyatspi.STATE_SHOWING):
                fail("%s %s is in the tree but not showing" % (role, name))

        press(buttons["СТАРТ"])
        text = wait_for("the opening passage", lambda: passage(window))
        if not text.startswith("Ты — Товик Ларминов"):
            fail("the passage reads %r" % text[:60])
        if "СТАРТ" in [name for _, name, _ in tree(window)]:
            fail("СТАРТ is still exposed after the game started")
        if len(choices(window)) != 1:
            fail("the opening offers one choice, the reader finds %d" % len(choices(window)))

        press(choices(window)[0])
        wait_for("the next scene", lambda: (passage(window) or text) != text)
        if not choices(window):
            fail("the next scene shows no choice to the reader")
        print("OK: the passage changed, %d choices" % len(choices(window)))
    finally:
        game.terminate()
        try:
            game.wait(timeout=10)
        except subprocess.TimeoutExpired:
            game.kill()


if __name__ == "__main__":
    main()
