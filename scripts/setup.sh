# Shared by ./play and ./run-tests: installs the Debian packages the game needs when they are
# missing, then configures and builds. Sourced, not run.

TOVIK_PACKAGES=(
    cmake g++ make pkg-config
    # the build turns the translation catalogues into C++; the tests check them with msgfmt
    python3 gettext
    qt6-base-dev libgl-dev
    libsdl2-dev
    libgtest-dev
    # the headless player's state lines are JSON
    nlohmann-json3-dev
    # the narrator: Qt's speech, over speech-dispatcher, loaded only when switched on; its test
    # gives a private speech-dispatcher a module that writes down what it is to say
    qt6-speech-dev qt6-speech-speechd-plugin speech-dispatcher libglib2.0-bin
    # rebuilds of unchanged files come from the cache
    ccache
    # the narrator's test asks a private accessibility bus whether a screen reader is running
    at-spi2-core dbus
    # the install and package tests: validators, the Debian package tools, strace
    desktop-file-utils appstream dpkg-dev lintian man-db strace
    # the window's tests from outside: a display of its own, a window manager, other X clients
    xvfb openbox xdotool x11-utils
)

# The browser build: Debian's emscripten builds the page, python3 serves it for ./play --web
# and cuts its font (fontTools, with brotli for WOFF2), lame makes its MP3 sounds from the WAVs
# and webp its pictures.
TOVIK_WEB_PACKAGES=(cmake make emscripten python3 python3-fonttools python3-brotli lame webp)
# Its tests: Node.js runs the headless player and drives Debian's Chromium. npm comes with
# Debian's nodejs, or as its own package; a Node.js installed otherwise brings its own npm.
TOVIK_WEB_TEST_PACKAGES=(nodejs chromium)
# Only ./run-tests needs these: a blind player's test, the real screen reader speaking Russian
# into a sound server that plays into nothing, on a desktop with a window manager.
TOVIK_ORCA_PACKAGES=(
    orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng pulseaudio openbox dbus-x11
    at-spi2-core xvfb xdotool locales
)
# Only ./run-tests needs these: clang and its libFuzzer runtime for the fuzz targets.
TOVIK_FUZZ_PACKAGES=(clang libclang-rt-dev)

tovik_missing_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    echo "${missing[@]}"
}

tovik_install() {
    local missing
    missing=$(tovik_missing_packages "$@")
    [ -z "$missing" ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing Debian packages: $missing (install them as root, or install sudo)" >&2
            return 1
        fi
        sudo="sudo"
    fi
    echo "Installing missing Debian packages: $missing"
    $sudo apt-get update -qq || return 1
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing ||
        return 1
}

# tovik_russian_locale: ru_RU.UTF-8, so that the screen reader speaks Russian text as Russian.
# Generated once; a machine that has it, or cannot write its locale list, is left as it is.
tovik_russian_locale() {
    locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$' && return 0
    [ -w /etc/locale.gen ] && command -v locale-gen >/dev/null || return 0
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen ||
        sed -i 's/^# *ru_RU.UTF-8 UTF-8/ru_RU.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null || echo "Could not generate the ru_RU.UTF-8 locale" >&2
}

# tovik_build PRESET [cmake options...]: configures and builds everything of a preset of
# CMakePresets.json (default, sanitize, release, headless) in its folder.
tovik_build() {
    local preset=$1
    shift
    (cd "$TOVIK_ROOT" && cmake --preset "$preset" "$@" >/dev/null) || return 1
    (cd "$TOVIK_ROOT" && cmake --build --preset "$preset" -j"$(nproc)") || return 1
}

# tovik_install_web_tests: what the browser tests need, npm included where it is missing.
tovik_install_web_tests() {
    tovik_install "${TOVIK_WEB_PACKAGES[@]}" "${TOVIK_WEB_TEST_PACKAGES[@]}" || return 1
    command -v npm >/dev/null || tovik_install npm
}

# Whether clang can build a libFuzzer target here.
tovik_can_fuzz() {
    command -v clang++ >/dev/null || return 1
    local probe
    probe=$(mktemp -d) || return 1
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
        >"$probe/probe.cpp"
    clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1
    local status=$?
    rm -rf "$probe"
    return $status
}
