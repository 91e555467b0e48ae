#!/usr/bin/env bash
# The window soak: a long session of random play with the real mouse and keyboard (xdotool on a
# virtual X display of its own), sampling the game's resident memory. Not part of ./run-tests.
#
#   tools/soak.sh [MINUTES] [CSV]     defaults: 20 minutes, build/soak.csv
#
# Plays the release build, build-release/tovik (or build/tovik when there is none, or
# $TOVIK_GAME), with a fixed seed: clicks and double clicks on the choices,
# Start, Attack, the items and the banners, clicks anywhere in the window, pointer moves, keys
# (Tab, Shift+Tab, Enter, Space, the digits 1 to 5, F11 there and back, Escape), and now and then
# the red cross. Whenever the exit question is up, it is answered No with Escape. Samples VmRSS
# every SAMPLE seconds (default 60) into CSV (seconds, KiB). At the end it prints the figures and
# fails if the game died or its memory after the first WARMUP seconds (default 180) spread over
# more than 1 MiB.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-20}
csv=${2:-$root/build/soak.csv}
game=${TOVIK_GAME:-$root/build-release/tovik}
[ -n "${TOVIK_GAME:-}" ] || [ -x "$game" ] || game=$root/build/tovik
warmup=${WARMUP:-180}
sample=${SAMPLE:-60}
[ -x "$game" ] || { echo "build the game first: cmake -S . -B build && cmake --build build" >&2; exit 1; }
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "$tool is missing: apt-get install xvfb xdotool" >&2; exit 1; }
done

scratch=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
cleanup() {
    [ -n "${tovik:-}" ] && kill "$tovik" 2>/dev/null
    kill "$xvfb" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$scratch/display") SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

"$game" --seed 20261208 >"$scratch/game.log" 2>&1 &
tovik=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$tovik" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the game's window never appeared" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window")"  # X and Y of the window's corner

# Points inside the controls that take clicks, in window pixels (from the form's layout).
targets=(
    "296 364"                                                         # Start
    "280 400" "280 424" "280 448" "280 472" "280 496"                 # R1..R5
    "280 400" "280 424" "280 448"                                     # the first three again
    "120 484" "120 484" "120 484" "120 484"                           # Attack, as players do
    "600 243" "600 315" "680 315" "680 243"                           # Item1, Item3, Item4, Item2
    "200 410"                                                         # EndGame / WinGame
)

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$tovik/status" 2>/dev/null || echo 0; }

# The exit question is the game's one other window on screen: it is answered No. A key pressed
# while it is up would answer it, and Enter would answer Yes.
answer_no() {
    local visible box
    for _ in $(seq 20); do
        visible=$(xdotool search --onlyvisible --pid "$tovik" 2>/dev/null) || true
        box=$(grep -vx "$window" <<<"$visible" | head -1) || true
        if [ -n "$box" ]; then
            xdotool windowfocus "$box" key Escape 2>/dev/null || true
        elif grep -qx "$window" <<<"$visible"; then
            return 0  # the game window is up, so the question is not
        fi
        sleep 0.1  # the window hidden and no box yet: the question is on its way
    done
}

keys=(Tab Tab Tab shift+Tab Return space 1 2 3 4 5 Return Return)

echo "seconds,rss_kib" >"$csv"
start=$(date +%s)
end=$((start + minutes * 60))
next_sample=$start
actions=0
while :; do
    now=$(date +%s)
    [ "$now" -ge "$end" ] && break
    if ! kill -0 "$tovik" 2>/dev/null; then
        echo "the game ended during the soak after $((now - start)) s:" >&2
        cat "$scratch/game.log" >&2
        exit 1
    fi
    if [ "$now" -ge "$next_sample" ]; then
        echo "$((now - start)),$(rss)" >>"$csv"
        next_sample=$((next_sample + sample))
    fi
    roll=$((RANDOM % 100))
    if [ $roll -lt 2 ]; then
        # The red cross; its question is answered No below.
        xdotool mousemove $((X + 689)) $((Y + 95)) click 1
    elif [ $roll -lt 4 ]; then
        # Full screen and back: the stage scaled to the whole screen, then the window again.
        xdotool windowfocus "$window" key F11 sleep 0.5 key F11 2>/dev/null || true
    elif [ $roll -lt 6 ]; then
        xdotool windowfocus "$window" key Escape 2>/dev/null || true
    elif [ $roll -lt 30 ]; then
        xdotool windowfocus "$window" key "${keys[RANDOM % ${#keys[@]}]}" 2>/dev/null || true
    elif [ $roll -lt 38 ]; then
        xdotool mousemove $((X + RANDOM % 1024)) $((Y + RANDOM % 768)) click 1
    elif [ $roll -lt 44 ]; then
        xdotool mousemove $((X + RANDOM % 1024)) $((Y + RANDOM % 768))
    else
        read -r tx ty <<<"${targets[RANDOM % ${#targets[@]}]}"
        if [ $roll -lt 56 ]; then
            xdotool mousemove $((X + tx)) $((Y + ty)) click --repeat 2 --delay 90 1
        else
            xdotool mousemove $((X + tx)) $((Y + ty)) click 1
        fi
    fi
    answer_no
    actions=$((actions + 1))
    sleep 0.$((10 + RANDOM % 15))
done
echo "$(($(date +%s) - start)),$(rss)" >>"$csv"

awk -F, -v warmup="$warmup" -v actions="$actions" '
    NR == 1 { next }
    NR == 2 { first = $2 }
    { last = $2; seconds = $1; if ($2 > max) max = $2 }
    $1 >= warmup {
        if (!seen || $2 < low) low = $2
        if (!seen || $2 > high) high = $2
        if (!seen) settled = $2
        seen = 1
    }
    END {
        printf "soak: %d s, %d mouse and key actions\n", seconds, actions
        printf "RSS: %d KiB at start, %d KiB at %d s, %d KiB at the end, %d KiB at most\n", first, settled, warmup, last, max
        printf "after %d s: lowest %d KiB, highest %d KiB, spread %d KiB\n", warmup, low, high, high - low
        exit (high - low > 1024) ? 1 : 0
    }' "$csv"
