#!/usr/bin/env bash
# Another X client destroys the game's windows, as `xdotool windowclose` does. The exit
# question's box destroyed is a No: the game window comes back. The game window destroyed ends
# the game with one line and exit code 1, not run on with nothing on screen. Needs Xvfb and
# xdotool; exits 77 (skipped) without them.
set -u
game=$1
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing"; exit 77; }

scratch=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; [ -n "${tovik:-}" ] && kill $tovik 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 50); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$scratch/display") SDL_AUDIODRIVER=dummy

"$game" >"$scratch/output" 2>&1 &
tovik=$!
window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid $tovik 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: the game's window never appeared"; exit 1; }

# The red cross asks; the box is the game's one other window on screen.
xdotool mousemove --window "$window" 689 95 click 1
box=""
for _ in $(seq 100); do
    box=$(xdotool search --onlyvisible --pid $tovik 2>/dev/null | grep -vx "$window" | head -1)
    [ -n "$box" ] && break
    sleep 0.1
done
[ -n "$box" ] || { echo "FAIL: the red cross asked nothing"; exit 1; }
xdotool windowclose "$box"
back=""
for _ in $(seq 100); do
    back=$(xdotool search --onlyvisible --pid $tovik 2>/dev/null | grep -x "$window")
    [ -n "$back" ] && break
    sleep 0.1
done
[ -n "$back" ] || { echo "FAIL: the game window did not come back after its question was destroyed"; exit 1; }
kill -0 $tovik 2>/dev/null || { echo "FAIL: the game ended when its question was destroyed"; exit 1; }

xdotool windowclose "$window"

for _ in $(seq 100); do
    kill -0 $tovik 2>/dev/null || break
    sleep 0.1
done
if kill -0 $tovik 2>/dev/null; then
    echo "FAIL: the game still runs 10 s after its window was destroyed"
    exit 1
fi
wait $tovik
status=$?
tovik=""
# Only the game's own lines: a sanitized build adds its statistics at exit.
said=$(grep '^tovik' "$scratch/output")
expected="tovik: the game window was destroyed by another program; the game ends."
if [ "$status" -ne 1 ] || [ "$said" != "$expected" ]; then
    echo "FAIL: exit code $status, said:"
    echo "$said"
    exit 1
fi
echo "the destroyed question was a No; the destroyed window ended the game with exit code 1 and one line"
