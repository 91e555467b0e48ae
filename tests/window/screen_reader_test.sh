#!/usr/bin/env bash
# Starts a private D-Bus session with the accessibility bus and a virtual display, and runs the
# screen-reader client against the game. Exits 77 (skipped) when the tools are not installed.
set -euo pipefail
game=$1
client=$(cd "$(dirname "$0")" && pwd)/screen_reader_client.py

# Debian's own Python, which python3-pyatspi installs into, whatever else is on the PATH.
python=/usr/bin/python3
for tool in dbus-run-session Xvfb $python; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
$python -c "import pyatspi" 2>/dev/null || { echo "skipped: python3-pyatspi is missing"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "skipped: at-spi2-core is missing"; exit 77; }

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 SDL_AUDIODRIVER=dummy
export QT_QPA_PLATFORM=xcb

exec dbus-run-session -- bash -c '
    set -euo pipefail
    work=$(mktemp -d)
    # A display of our own, whichever number is free.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    launcher=$!
    trap "kill $launcher $xvfb 2>/dev/null; rm -rf $work" EXIT
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=:$(head -n1 "$work/display")
    "$3" "$1" "$2"
' bash "$client" "$game" "$python"
