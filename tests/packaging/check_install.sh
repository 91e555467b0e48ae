#!/usr/bin/env bash
# Checks the game as it is installed and packaged, one step a run:
#   TOVIK_SOUNDS="dindin.wav ..." check_install.sh BUILD PREFIX STEP
# `install` installs BUILD into PREFIX; the other steps look at what it installed, and `deb`
# builds the Debian package from BUILD and looks into it.
set -euo pipefail
build=$1 prefix=$2 step=$3
data=share/games/tovik
read -r -a sounds <<<"${TOVIK_SOUNDS:-}"  # the game's list, from the build
icon_sizes=(16 22 24 32 48 64 128 256)
id=io.github.tovikgame.tovik
metainfo=share/metainfo/$id.metainfo.xml

fail() { echo "FAIL: $*" >&2; exit 1; }

# Every file the game installs, relative to the prefix.
installed_files() {
    echo games/tovik games/tovik-story "share/applications/$id.desktop" "$metainfo"
    echo share/man/man6/tovik.6.gz share/man/man6/tovik-story.6.gz
    echo share/doc/tovik/copyright share/doc/tovik/changelog.gz
    for sound in "${sounds[@]}"; do echo "$data/TovikSound/$sound"; done
    for size in "${icon_sizes[@]}"; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done
}

# The width and height a PNG file declares, as "W H".
png_size() { od -An -tu4 --endian=big -j16 -N8 "$1" | awk '{print $1, $2}'; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

[[ $step != install && $step != deb ]] || [ ${#sounds[@]} -gt 0 ] || fail "TOVIK_SOUNDS names no sound"
case $step in
install)
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for file in $(installed_files); do
        [ -f "$prefix/$file" ] || fail "$file is not installed"
    done
    [ -x "$prefix/games/tovik" ] && [ -x "$prefix/games/tovik-story" ] || fail "programs not executable"
    [ ! -e "$prefix/games/TovikSound" ] || fail "the sounds are installed beside the programs"
    ;;
desktop)
    entry=$prefix/share/applications/$id.desktop
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
    for line in 'Name=Tovik Larminov in the Magic Dungeon' 'Name\[ru\]=Товик Ларминов в магическом подземелье' \
        'Categories=Game;AdventureGame;' "Icon=$id" 'Exec=tovik' 'GenericName=..*' 'GenericName\[ru\]=..*' \
        'Comment=..*' 'Comment\[ru\]=..*'; do
        grep -qx "$line" "$entry" || fail "no line '$line' in the desktop entry"
    done
    for size in "${icon_sizes[@]}"; do
        icon=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
        [ "$(png_size "$icon")" = "$size $size" ] || fail "$icon is $(png_size "$icon"), not $size×$size"
    done
    ;;
metainfo)
    appstreamcli validate --no-net --pedantic "$prefix/$metainfo" || fail "appstreamcli rejects the metainfo"
    for pattern in "<id>$id</id>" "<launchable type=\"desktop-id\">$id.desktop<" \
        '<summary xml:lang="ru">' '<p xml:lang="ru">' '<content_attribute id="violence-fantasy">' \
        '<project_license>MIT AND OFL-1.1<' '<release version="'; do
        grep -qF "$pattern" "$prefix/$metainfo" || fail "no $pattern in the metainfo"
    done
    for picture in title choices fight hover victory; do  # the README's screenshots
        grep -q "/$picture.png</image>" "$prefix/$metainfo" || fail "no $picture.png screenshot"
    done
    ;;
man)
    for page in tovik tovik-story; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$prefix/share/man/man6/$page.6.gz" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns about $page.6: $warnings"
    done
    ;;
sounds)
    cd "$scratch"
    strace -qq -o /dev/null true || fail "strace cannot trace programs here"
    printf 'click Start\n' >start.replay
    run_installed() {
        SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen \
            strace -f -qq -e trace=openat -o opened.txt \
            "$prefix/games/tovik" --lang ru --seed 1 --replay start.replay --screenshot start.png \
            2>said.txt || fail "the installed game did not run the replay: $(cat said.txt)"
    }
    # Installed into another prefix than the one it was built for, as into ~/.local, the game
    # loads the sound module installed with it and, started from elsewhere, plays «Старт»'s
    # sound from the data folder.
    real=$(realpath "$prefix")
    module=$(find "$real/lib" -name tovik-sdl-sound.so -print -quit)
    [ -n "$module" ] || fail "the sound module is not installed"
    run_installed
    for wanted in "$module" "$real/$data/TovikSound/dindin.wav"; do
        grep -F "\"$wanted\"" opened.txt | grep -qv ENOENT ||
            fail "the installed game did not open $wanted; it said: $(cat said.txt); it opened: $(grep -F tovik opened.txt)"
    done
    # A folder above the module that others may change makes it a module anyone could have
    # planted: it is refused, and the game says so in one line and plays on.
    folder=$(dirname "$(dirname "$module")")
    chmod g+w "$folder"
    run_installed
    chmod g-w "$folder"
    said=$(grep -v '^QStandardPaths' said.txt)
    [ "$said" = "Игра идёт без звука: звуковой модуль $module не загружен, так как $folder могут изменить другие пользователи" ] ||
        fail "the game loaded a module others may change, or said: $said"
    ;;
player)
    # tovik-story names the sound the game plays: the installed one.
    state=$(printf 'click Start\n' | "$prefix/games/tovik-story" play --seed 1 | tail -n 1)
    wanted=$(realpath "$prefix")/$data/TovikSound/dindin.wav
    grep -qE "\"Filename\": ?\"$wanted\"" <<<"$state" || fail "the player plays the wrong file: $state"
    ;;
deb)
    cd "$scratch"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >cpack.log || fail "cpack failed: $(cat cpack.log)"
    debs=("$scratch"/tovik_*.deb)
    [ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no tovik_*.deb"
    deb=${debs[0]}
    dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >contents.txt
    for file in $(installed_files); do
        grep -qxF "usr/$file" contents.txt || fail "usr/$file is not in the package"
    done
    grep -v '^usr/' contents.txt && fail "the package holds files outside /usr"
    grep -q '^usr/games/TovikSound' contents.txt && fail "the package puts sounds beside the programs"
    # The dependencies come from the libraries the programs link, SDL through the sound module;
    # the narrator's speech is recommended, never required.
    depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | awk '{print $1}')
    recommends=$(dpkg-deb -f "$deb" Recommends | tr ',|' '\n\n' | awk '{print $1}')
    for library in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 libsdl2-2.0-0 qt6-qpa-plugins; do
        grep -qxF "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
    done
    for package in qt6-speech-speechd-plugin speech-dispatcher; do
        grep -qxF "$package" <<<"$recommends" || fail "Recommends lacks $package: $recommends"
        grep -qxF "$package" <<<"$depends" && fail "Depends requires $package: $depends"
    done
    lintian --fail-on error "$deb" || fail "lintian finds errors in $(basename "$deb")"
    ;;
*)
    fail "unknown step $step"
    ;;
esac
