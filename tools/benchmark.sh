#!/usr/bin/env bash
# Measures what a player and a scripter feel, after a build in build/ (under Xvfb when there is
# no display):
#   startup  the game against a bare Qt window with one picture and one wrapped passage, started
#            in turn (11 times each unless TOVIK_BENCH_STARTS says otherwise): time from launch
#            to the first painted frame, and peak resident memory;
#   scenes   a scene change in the real window, for every scene of the story: the click on a
#            choice, through the game and the relabelling, and the repaint;
#   player   the headless player over 20,000 commands;
#   record   a game's record of 100,000 events restored by the headless player (the page's
#            restore is measured by tools/web_benchmark.js).
# With no arguments it runs all four.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
sections=("$@")
[ ${#sections[@]} -gt 0 ] || sections=(startup scenes player record)

[ -f "$build/CMakeCache.txt" ] || {
    echo "build first: cmake -S . -B build && cmake --build build" >&2
    exit 1
}
command -v /usr/bin/time >/dev/null || { echo "/usr/bin/time is missing: apt-get install time" >&2; exit 1; }

targets=()
for section in "${sections[@]}"; do
    case $section in
        startup) targets+=(tovik tovik-bare-window) ;;
        scenes) targets+=(scene_change_benchmark) ;;
        player | record) targets+=(tovik-story) ;;
        *) echo "unknown section: $section (startup, scenes, player or record)" >&2; exit 2 ;;
    esac
done
if [[ " ${targets[*]} " == *" scene_change_benchmark "* ]] &&
    ! grep -q '^BUILD_TESTING:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "the scene benchmark is built with the tests: configure build/ with -DBUILD_TESTING=ON" >&2
    exit 1
fi
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

tmp=$(mktemp -d)
source "$root/tools/virtual_display.sh" :96
trap 'rm -rf "$tmp"; [ -n "${tovik_xvfb:-}" ] && kill $tovik_xvfb' EXIT

# median FILE: the median of the numbers in FILE, one a line.
median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# start_once NAME PROGRAM: starts PROGRAM --first-frame-time once and appends to NAME.launch the
# milliseconds from launch until its first frame is painted (the program prints a line then),
# to NAME.main the milliseconds the program itself counts from main(), and to NAME.peak its
# peak resident KiB. Counting from launch takes in loading and relocating the shared libraries,
# which happens before main().
start_once() {
    local name=$1 program=$2 line started ended fd
    started=${EPOCHREALTIME/./}
    exec {fd}< <(SDL_AUDIODRIVER=dummy exec /usr/bin/time -f %M -o "$tmp/peak" \
        "$program" --first-frame-time 2>/dev/null)
    IFS= read -r line <&"$fd" || true
    ended=${EPOCHREALTIME/./}
    exec {fd}<&-
    wait $! || true
    case $line in
        "first frame: "*) ;;
        *) echo "$program painted no first frame" >&2; exit 1 ;;
    esac
    echo "$(( (ended - started) / 1000 )).$(( (ended - started) % 1000 / 100 ))" >> "$tmp/$name.launch"
    line=${line#first frame: }
    echo "${line% ms}" >> "$tmp/$name.main"
    tail -n 1 "$tmp/peak" >> "$tmp/$name.peak"
}

startup() {
    local starts=${TOVIK_BENCH_STARTS:-11} game bare
    echo "== start-up: the game against a bare Qt window, $starts starts each, taken in turn"
    # One unmeasured start each, so that both find their files in the page cache.
    start_once warm "$build/tovik"
    start_once warm "$build/tovik-bare-window"
    for _ in $(seq "$starts"); do
        start_once game "$build/tovik"
        start_once bare "$build/tovik-bare-window"
    done
    awk -v gl="$(median "$tmp/game.launch")" -v bl="$(median "$tmp/bare.launch")" \
        -v gm="$(median "$tmp/game.main")" -v bm="$(median "$tmp/bare.main")" \
        -v gp="$(median "$tmp/game.peak")" -v bp="$(median "$tmp/bare.peak")" \
        -v libs_game="$(ldd "$build/tovik" | wc -l)" -v libs_bare="$(ldd "$build/tovik-bare-window" | wc -l)" '
        function verdict(ok) { return ok ? "met" : "MISSED" }
        BEGIN {
            printf "%-28s %12s %12s %8s\n", "medians", "game", "bare window", "ratio"
            printf "%-28s %9.1f ms %9.1f ms %7.2fx   target 1.10x: %s\n", "launch to first frame", gl, bl, gl / bl, verdict(gl / bl <= 1.1)
            printf "%-28s %9.1f ms %9.1f ms %7.2fx\n", "  of which after main()", gm, bm, gm / bm
            printf "%-28s %8.1f MiB %8.1f MiB %7.2fx   target 36 MiB: %s\n", "peak resident", gp / 1024, bp / 1024, gp / bp, verdict(gp / 1024 <= 36)
            printf "%-28s %12d %12d\n", "shared libraries (ldd)", libs_game, libs_bare
        }'
}

scenes() {
    echo "== scene changes in the real window (targets: median 2 ms, 99th percentile 5 ms)"
    "$build/scene_change_benchmark" 5 2>/dev/null
}

player() {
    echo "== headless player: 20,000 commands"
    {
        # One short game after another: the left tunnel, a wrong password, the defeat banner,
        # the title.
        for _ in $(seq 2500); do
            printf 'click Start\nmove R1\nclick R1\nclick R1\nclick R1\ntick Death\ntick HealthTimer\nclick EndGame\n'
        done
    } > "$tmp/script"
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f "max resident %M KiB" -o "$tmp/player-time" "$build/tovik-story" play --seed 1 < "$tmp/script" | wc -l | sed 's/$/ state lines/'
    end=$(date +%s%N)
    echo "$(( (end - start) / 1000000 )) ms in all; $(cat "$tmp/player-time")"
}

record() {
    echo "== a record of 100,000 events restored by the headless player"
    {
        # The same short games as the player's, saved at the end.
        for _ in $(seq 12500); do
            printf 'click Start\nmove R1\nclick R1\nclick R1\nclick R1\ntick Death\ntick HealthTimer\nclick EndGame\n'
        done
        echo save
    } | "$build/tovik-story" play --seed 1 | tail -1 | sed 's/^{"record": "/restore /; s/"}$//' > "$tmp/restore"
    echo "$(grep -o 'end [0-9]*' "$tmp/restore") events, $(wc -c < "$tmp/restore") bytes on the restore line"
    # CPU time, the operating system's own count: wall time on a busy machine says little.
    local loaded="" restored=""
    for _ in 1 2 3 4 5; do
        /usr/bin/time -f "%U %S" -o "$tmp/time" "$build/tovik-story" play --seed 1 < /dev/null > /dev/null
        loaded+="$(awk '{ printf "%d", ($1 + $2) * 1000 }' "$tmp/time") "
        /usr/bin/time -f "%U %S" -o "$tmp/time" "$build/tovik-story" play --seed 1 < "$tmp/restore" > /dev/null
        restored+="$(awk '{ printf "%d", ($1 + $2) * 1000 }' "$tmp/time") "
    done
    local medianLoad medianRestore
    medianLoad=$(tr ' ' '\n' <<< "$loaded" | sed '/^$/d' | sort -n | sed -n 3p)
    medianRestore=$(tr ' ' '\n' <<< "$restored" | sed '/^$/d' | sort -n | sed -n 3p)
    echo "median of 5: $(( medianRestore - medianLoad )) ms of CPU to restore" \
        "($medianRestore ms with the restore, $medianLoad ms without)"
}

for section in "${sections[@]}"; do
    "$section"
done
echo "== load average while measuring: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
