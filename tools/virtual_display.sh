# Sourced by the scripts that show the real window: when there is no display, starts a virtual
# one (Debian's xvfb) on display $1 and stops it when the script ends.
if [ -z "${DISPLAY:-}" ]; then
    command -v Xvfb >/dev/null || { echo "Xvfb is missing: apt-get install xvfb" >&2; exit 1; }
    export DISPLAY=$1
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 &
    tovik_xvfb=$!
    trap 'kill $tovik_xvfb' EXIT
    sleep 1
fi
