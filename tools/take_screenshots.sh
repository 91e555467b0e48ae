#!/usr/bin/env bash
# Takes the README's screenshots from the real game: starts a virtual X display (Debian's xvfb)
# when there is none, replays each script of tools/screenshots/ into build/tovik with a fixed
# seed, and saves the window as docs/<name>.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
game="$root/build/tovik"
[ -x "$game" ] || { echo "build the game first: cmake -S . -B build && cmake --build build" >&2; exit 1; }

source "$root/tools/virtual_display.sh" :97

mkdir -p "$root/docs"
for script in "$root"/tools/screenshots/*.replay; do
    name=$(basename "$script" .replay)
    SDL_AUDIODRIVER=dummy "$game" --seed 7 --replay "$script" --screenshot "$root/docs/$name.png"
    echo "docs/$name.png"
done
# The English edition's title screen and a screen of choices.
for name in title choices; do
    SDL_AUDIODRIVER=dummy "$game" --lang en --seed 7 --replay "$root/tools/screenshots/$name.replay" \
        --screenshot "$root/docs/en-$name.png"
    echo "docs/en-$name.png"
done
