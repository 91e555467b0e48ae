#!/usr/bin/env bash
# Under openbox on a display of its own: F11 twice puts the framed window back where it was;
# the exit question's box unmapped or closed is a No; the game window closed ends the game with
# one line and exit code 1. Needs Xvfb, openbox, xdotool and xprop; exits 77 without them.
set -u
game=$1
for tool in Xvfb openbox xdotool xprop; do
    command -v $tool >/dev/null || { echo "$tool is missing"; exit 77; }
done

scratch=$(mktemp -d)
trap 'kill ${tovik:-} ${manager:-} ${xvfb:-} 2>/dev/null; rm -rf "$scratch"' EXIT
# A display far from the low numbers that desktops and other tests take for granted, so that
# no other program's windows or window manager land on this one.
for _ in $(seq 20); do
    number=$((300 + RANDOM % 600))
    [ -e /tmp/.X$number-lock ] && continue
    Xvfb :$number -screen 0 1280x1024x24 >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do [ -S /tmp/.X11-unix/X$number ] && break; sleep 0.1; done
    kill -0 $xvfb 2>/dev/null && [ -S /tmp/.X11-unix/X$number ] && break
    xvfb=""
done
[ -n "${xvfb:-}" ] || { echo "Xvfb would not start"; exit 77; }
export DISPLAY=:$number SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
# Openbox names its theme late in its start; a window mapped much before it may be left
# unmanaged and unmapped.
for _ in $(seq 100); do xprop -root _OB_THEME 2>/dev/null | grep -q '"' && break; sleep 0.1; done
sleep 0.5

fail() {
    echo "FAIL: $*"
    sed 's/^/  the game said: /' "$scratch/output" 2>/dev/null
    exit 1
}

# waits CONDITION...: runs it every 0.1 s until it holds, for at most 20 s (a loaded machine).
waits() {
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

shown() { xdotool search --onlyvisible --pid $tovik 2>/dev/null; }
framed() { xprop -id "$window" _NET_FRAME_EXTENTS | grep -q "= [1-9]"; }
# On a loaded machine openbox now and then leaves a window it took as it started unframed; that
# is the window manager's doing, not the game's, so a game whose first window gets no frame is
# started once more before the test says so.
for attempt in 1 2; do
    "$game" >"$scratch/output" 2>&1 &
    tovik=$!
    waits eval 'window=$(shown | head -1); [ -n "$window" ]' || fail "the game's window never appeared"
    waits framed && break
    [ $attempt -eq 2 ] && fail "the window has no frame"
    kill $tovik 2>/dev/null
    wait $tovik 2>/dev/null
done

# The frame the window manager draws, and where the window lies.
placed() { echo "$(xprop -id "$window" _NET_FRAME_EXTENTS) $(xdotool getwindowgeometry "$window" | tail -n +2 | tr -s ' ')"; }
full_screen() { xprop -id "$window" _NET_WM_STATE | grep -q FULLSCREEN; }
before=$(placed)
xdotool key --window "$window" F11
waits full_screen || fail "F11 did not make the window full screen"
xdotool key --window "$window" F11
waits eval '! full_screen && [ "$(placed)" = "$before" ]' ||
    fail "after F11 twice the window is '$(placed)', not '$before'"

# The red cross asks; the box is the game's one other window on screen.
# A click while the window is still being put back may be lost: it is repeated until the box
# is up, when the game window is hidden and a further click falls on nothing of the game's.
ask() {
    box=$(shown | grep -vx "$window" | head -1)
    [ -n "$box" ] && return 0
    xdotool mousemove --window "$window" 689 95 click 1
    sleep 0.4
    return 1
}
for deed in windowunmap windowclose; do
    waits ask || fail "the red cross asked nothing"
    xdotool $deed "$box"
    waits eval 'shown | grep -qx "$window"' ||
        fail "the game window did not come back after $deed on its question"
    kill -0 $tovik 2>/dev/null || fail "the game ended after $deed on its question"
done

xdotool windowclose "$window"
waits eval '! kill -0 $tovik 2>/dev/null' || fail "the game still runs 20 s after its window was destroyed"
wait $tovik
status=$?
tovik=""
# Only the game's own lines: a sanitized build adds its statistics at exit.
said=$(grep '^tovik' "$scratch/output")
expected="tovik: the game window was destroyed by another program; the game ends."
[ "$status" -eq 1 ] && [ "$said" = "$expected" ] || fail "exit code $status, said: $said"
