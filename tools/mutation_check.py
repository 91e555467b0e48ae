#!/usr/bin/env python3
"""Plants one fault at a time in the game's own code, rebuilds the fast tests and runs them.

A planted fault that every test passes on is a hole in the suite; one that makes a test hang
shows a loop without a step limit. Run it before and after a change to the tests, to see that
leaner tests still catch what the old ones caught:

    tools/mutation_check.py [--source DIR] [--build DIR] [--only NAME ...]

The source tree is changed in place, one file at a time, and put back after each fault, also
when the run is interrupted. A fault whose code is no longer there is reported as gone, not
counted.
"""

import argparse
import os
import pathlib
import subprocess
import sys
import time

# name, file, the code as it is, the fault planted in its place.
MUTANTS = [
    ("title said on every event", "src/engine/spoken_screen.cpp",
     "if (after.title && !before.title) {", "if (after.title) {"),
    ("a blow of 4 counts as the hero's", "src/engine/combat.cpp",
     "if (toNumber(roll_) < 4) {", "if (toNumber(roll_) <= 4) {"),
    ("the ring protects the bare hero", "src/engine/combat.cpp",
     "toNumber(ring_) != 0 ? kBlowOnRing", "toNumber(ring_) == 0 ? kBlowOnRing"),
    ("an opponent at 0 fights on", "src/engine/combat.cpp",
     "toNumber(healthOpponent_) <= 0) {", "toNumber(healthOpponent_) < 0) {"),
    ("the scroll no longer reads the fourth choice", "src/engine/items.cpp",
     "(use.onR4Too && window.caption(ControlId::R4) == caption)", "false"),
    ("the pointer lights the next choice", "src/engine/hover.cpp",
     "i == litChoice ? kChoiceLit", "i + 1 == litChoice ? kChoiceLit"),
    ("the victory banner's colours stand still", "src/engine/hover.cpp",
     "kBannerCycle[(step + 1) % kSteps]", "kBannerCycle[step % kSteps]"),
    ("a chance choice goes the other way", "src/engine/choice_dispatch.cpp",
     "toNumber(roll_) == 1 ? test.target : test.otherTarget",
     "toNumber(roll_) == 1 ? test.otherTarget : test.target"),
    ("the fur ball's test turned round", "src/engine/choice_dispatch.cpp",
     "window_.isVisible(ControlId::Item2) ? test.target",
     "!window_.isVisible(ControlId::Item2) ? test.target"),
    ("a death on the way out keeps the victory timer", "src/engine/endings.cpp",
     "    window_.setTimerEnabled(Win, false);\n    if (window_.isVisible(WinGame)) {",
     "    if (window_.isVisible(WinGame)) {"),
    ("the title screen keeps the last life", "src/engine/endings.cpp",
     "    health_ = kStartingLife;\n    showTitleScreen();", "    showTitleScreen();"),
    ("the roast chicken heals past 60", "src/engine/scene_presentation.cpp",
     "if (life < startingLife - change.amount) {", "if (life < startingLife + change.amount) {"),
    ("the ring is never taken off", "src/engine/scene_presentation.cpp",
     'ring_ = *effects.ringWorn ? "1" : "0";', 'ring_ = "1";'),
    ("a double click on a label clicks twice", "src/engine/player_input.cpp",
     "clickInSeries % 2 != 0 || clickInSeries == 0", "clickInSeries > 0 || clickInSeries == 0"),
    ("a held key repeats", "src/engine/player_input.cpp",
     "if (held && key != PlayerKey::Tab && key != PlayerKey::BackTab) {",
     "if (held && key == PlayerKey::Other) {"),
    ("a number with a plus sign counts", "src/engine/decimal_text.cpp",
     "if (!isNumberText(text) || text.front() == '+') {", "if (!isNumberText(text)) {"),
    ("an endless loop in a blow", "src/engine/combat.cpp",
     "void Game::Attack_Click() {\n",
     "void Game::Attack_Click() {\n    for (volatile bool forever = true; forever;) {\n    }\n"),
    ("a record's repeated event is played once too often", "src/engine/game_record.cpp",
     "time < command.times; ++time", "time <= command.times; ++time"),
    ("a record written twice over the same event is read", "src/engine/game_record.cpp",
     "(!game.commands.empty() && sameEvent(game.commands.back(), command))", "false"),
    ("a choice loops a scene onto itself", "src/story/choice_table.cpp",
     "to({K004}, 4),", "to({K004}, 3),"),
]

TARGETS = ["engine_tests", "tool_tests", "story_tests", "asset_tests"]
TEST_SECONDS = 60  # a whole test program; more means a planted loop hung it


def run(command, **options):
    return subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          **options)


def build(build_dir):
    targets = [word for target in TARGETS for word in ("--target", target)]
    return run(["cmake", "--build", str(build_dir), "-j2", *targets]).returncode == 0


def failing_programs(build_dir):
    """The test programs that fail (or hang), by name."""
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="dummy")
    failed = []
    for target in TARGETS:
        program = build_dir / target
        if not program.exists():
            continue
        try:
            result = run([str(program), "--gtest_brief=1"], cwd=build_dir, env=environment,
                         timeout=TEST_SECONDS)
            if result.returncode != 0:
                failed.append(target)
        except subprocess.TimeoutExpired:
            failed.append(target + " (hung)")
    return failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", default=pathlib.Path(__file__).resolve().parent.parent,
                        type=pathlib.Path)
    parser.add_argument("--build", type=pathlib.Path, help="default: SOURCE/build-mutants")
    parser.add_argument("--only", nargs="*", help="the faults to plant, by a word of their name")
    arguments = parser.parse_args()
    source = arguments.source.resolve()
    build_dir = (arguments.build or source / "build-mutants").resolve()
    if not (build_dir / "CMakeCache.txt").exists():
        configured = run(["cmake", "-S", str(source), "-B", str(build_dir),
                          "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DBUILD_TESTING=ON"])
        if configured.returncode != 0:
            sys.exit("cannot configure " + str(build_dir) + ":\n" + configured.stdout)
    if not build(build_dir):
        sys.exit("the unchanged tree does not build in " + str(build_dir))
    if failing_programs(build_dir):
        sys.exit("the unchanged tree fails its tests: fix that first")

    mutants = [m for m in MUTANTS
               if not arguments.only or any(word in m[0] for word in arguments.only)]
    caught = planted = 0
    for name, relative, original, fault in mutants:
        path = source / relative
        text = path.read_text(encoding="utf-8") if path.exists() else ""
        if text.count(original) != 1:
            print(f"gone      {name} ({relative}: the code is no longer there)", flush=True)
            continue
        planted += 1
        started = time.monotonic()
        try:
            path.write_text(text.replace(original, fault), encoding="utf-8")
            if not build(build_dir):
                verdict, detail = "caught", "does not build"
            else:
                failed = failing_programs(build_dir)
                verdict = "caught" if failed else "MISSED"
                detail = ", ".join(failed) if failed else "every test passes"
        finally:
            path.write_text(text, encoding="utf-8")
        caught += verdict == "caught"
        print(f"{verdict:9} {name} ({detail}; {time.monotonic() - started:.0f} s)", flush=True)
    build(build_dir)  # leaves the build as the tree is
    print(f"{caught} of {planted} planted faults caught")
    return 0 if caught == planted else 1


if __name__ == "__main__":
    sys.exit(main())
