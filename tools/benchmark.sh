#!/usr/bin/env bash
# Measures what a player and a scripter feel: how soon the window's first frame is painted
# (median of 10 starts, under Xvfb when there is no display) and how much memory the game holds,
# and how fast the headless player runs a long game.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
[ -x "$build/tovik" ] && [ -x "$build/tovik-story" ] || {
    echo "build first: cmake -S . -B build && cmake --build build" >&2
    exit 1
}
source "$root/tools/virtual_display.sh" :96

echo "== first frame of the window (10 starts)"
for _ in $(seq 10); do
    SDL_AUDIODRIVER=dummy "$build/tovik" --first-frame-time 2>/dev/null | sed -n 's/first frame: //p'
done | sort -n | awk '{ t[NR] = $1 } END { printf "median %s, fastest %s, slowest %s\n", t[int((NR + 1) / 2)], t[1], t[NR] }'

echo "== memory of the window at its first frame"
SDL_AUDIODRIVER=dummy /usr/bin/time -f "max resident %M KiB" "$build/tovik" --first-frame-time 2>&1 >/dev/null | grep resident

echo "== headless player: 20,000 commands"
script=$(mktemp)
trap 'rm -f "$script"; [ -n "${tovik_xvfb:-}" ] && kill $tovik_xvfb' EXIT
{
    # One short game after another: the left tunnel, a wrong password, the defeat banner, the title.
    for _ in $(seq 2500); do
        printf 'click Start\nmove R1\nclick R1\nclick R1\nclick R1\ntick Death\ntick HealthTimer\nclick EndGame\n'
    done
} > "$script"
start=$(date +%s%N)
/usr/bin/time -f "max resident %M KiB" "$build/tovik-story" play --seed 1 < "$script" 2>/tmp/tovik-bench-time | wc -l | sed 's/$/ state lines/'
end=$(date +%s%N)
echo "$(( (end - start) / 1000000 )) ms in all; $(cat /tmp/tovik-bench-time)"
