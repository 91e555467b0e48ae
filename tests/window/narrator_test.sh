#!/usr/bin/env bash
# narrator_test.sh GAME OFFSCREEN_CONFIG: the narrator, by what a private speech-dispatcher's
# output module wrote down (slowly, as a voice speaks) while a replay played the game.
# Exits 77 (skipped) when speech-dispatcher or the game's speech module is missing.
set -euo pipefail
game=$1
screen=$2
module=$(dirname "$game")/tovik-speech.so
for tool in dbus-run-session speech-dispatcher gdbus; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
[ -x /usr/lib/speech-dispatcher-modules/sd_generic ] || { echo "skipped: sd_generic is missing"; exit 77; }
[ -f "$module" ] || { echo "skipped: the speech module was not built"; exit 77; }

# The game links none of the speech libraries: they come with the module, when switched on.
if ldd "$game" | grep -q -e TextToSpeech -e speechd; then
    echo "FAIL: the game itself links the speech libraries"
    exit 1
fi

work=$(mktemp -d)
trap '[ -n "${TOVIK_KEEP_WORK:-}" ] || rm -rf "$work"' EXIT
export work game screen

# run_case NAME VOICES SCREEN_READER LANGUAGE REPLAY: plays REPLAY with the narrator remembered as on,
# speech-dispatcher offering VOICES ("ru en"), a screen reader flagged as running or not, on a
# Russian desktop; leaves what was spoken in $work/NAME.spoken and what the game wrote in
# $work/NAME.err. The game leaves once the replay has been read (--screenshot).
run_case() {
    local name=$1 voices=$2 reader=$3 language=$4 replay=$5 dir=$work/$1
    mkdir -p "$dir/conf/modules" "$dir/config/tovik"
    printf '[narrator]\nread-aloud=true\n' > "$dir/config/tovik/tovik.ini"
    cat > "$dir/conf/speechd.conf" <<CONF
LogLevel 3
LogDir "$dir"
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "written" "sd_generic" "written.conf"
DefaultModule written
CONF
    # Each piece takes a moment, as a real voice does, so that a click can cut it short.
    printf 'GenericExecuteSynth "sleep 0.5; printf %%s\\\\\\\\n \\'"'"'$DATA\\'"'"' >> %s"\n' \
        "$dir/spoken" > "$dir/conf/modules/written.conf"
    for voice in $voices; do
        printf 'AddVoice "%s" "MALE1" "%s"\nGenericLanguage "%s" "%s" "UTF-8"\n' \
            "$voice" "$voice" "$voice" "$voice" >> "$dir/conf/modules/written.conf"
    done
    : > "$dir/spoken"
    printf '%b' "$replay" > "$dir/replay"
    timeout 60 dbus-run-session -- bash -c '
        dir=$1 reader=$2 language=$3
        speech-dispatcher -s -C "$dir/conf" -S "$dir/socket" -P "$dir/pid" -t 0 -c unix_socket >/dev/null 2>&1 &
        speechd=$!
        trap "kill $speechd 2>/dev/null" EXIT
        # Set either way: the desktop may remember a screen reader from an earlier session.
        gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
            --method org.freedesktop.DBus.Properties.Set org.a11y.Status ScreenReaderEnabled \
            "<$([ "$reader" = reader ] && echo true || echo false)>" >/dev/null
        for _ in $(seq 100); do
            grep -qs "waiting for clients" "$dir/speech-dispatcher.log" && break
            sleep 0.1
        done
        # The replay is read as it comes: each "pause" line waits before the next.
        while IFS= read -r line; do
            case $line in pause*) sleep "${line#pause }" ;; *) echo "$line" ;; esac
        done < "$dir/replay" |
            SPEECHD_ADDRESS=unix_socket:$dir/socket XDG_CONFIG_HOME=$dir/config \
            SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=offscreen:configfile=$screen LANG=ru_RU.UTF-8 \
            timeout 30 "$game" --lang "$language" --seed 1 --replay /dev/stdin \
            --screenshot "$dir/last.png" 2>"$dir/err" || true
    ' bash "$dir" "$reader" "$language" >/dev/null 2>&1
    cp "$dir/spoken" "$work/$name.spoken"
    cp "$dir/err" "$work/$name.err"
}

failures=0
expect() {  # expect CASE FILE has|lacks TEXT
    local found=no
    grep -qF -- "$4" "$work/$1.$2" && found=yes
    if { [ "$3" = has ] && [ $found = no ]; } || { [ "$3" = lacks ] && [ $found = yes ]; }; then
        echo "FAIL: $1: the $2 output $3 «$4»"
        sed 's/^/    /' "$work/$1.$2"
        failures=$((failures + 1))
    fi
}

# Switched on, it reads the passages and counts; a click cuts the passage being read short, and
# the next scene is read instead.
run_case reads "ru en" none ru "pause 2\nclick Start\npause 1.2\nclick R1\npause 7\n"
expect reads spoken has "Чтение вслух включено."
expect reads spoken has "Ты — Товик Ларминов"
expect reads spoken lacks "Ты чувствуешь, что эта ночь решит твою судьбу."
expect reads spoken has "Куда ты пойдёшь?"
expect reads spoken has "Три варианта."

# In English, with an English voice.
run_case english "ru en" none en "pause 2\nclick Start\npause 4\n"
expect english spoken has "Reading aloud is on."
expect english spoken has "You are Tovik Larminov"

# No voice for the language played: it says so, and the game goes on silent.
run_case no-voice "ru" none en "pause 2\nclick Start\npause 1\n"
expect no-voice err has "There is no English voice"
expect no-voice spoken lacks "You are Tovik Larminov"

# A screen reader is running: the narrator keeps quiet and says why.
run_case screen-reader "ru en" reader ru "pause 2\nclick Start\npause 1\n"
expect screen-reader err has "Работает экранный диктор"
expect screen-reader spoken lacks "Один вариант."

[ $failures -eq 0 ] && echo "the narrator said what it should"
exit $((failures > 0))
