// tovik-story: the game without its window. `play` runs the game headless over standard input
// and output; `check` and `map` look at the story itself.

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/command_line.h"
#include "engine/random_source.h"
#include "sound/program_folder.h"
#include "sound/sound_home.h"
#include "story/language.h"
#include "tovik_story/catalogue_template.h"
#include "tovik_story/play_session.h"

#ifdef TOVIK_HAS_STORY_CHECK
#include "story_check/story_commands.h"
#endif

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

#include <cstdlib>

// Under Node the running executable is node itself: the player's folder is the script's.
// clang-format off
EM_JS(char*, scriptFolder, (), {
    const path = require("path");
    const folder = path.dirname(require("fs").realpathSync(process.argv[1]));
    const size = lengthBytesUTF8(folder) + 1;
    const text = _malloc(size);
    stringToUTF8(folder, text, size);
    return text;
});

// Node opens /dev/null for a standard stream that was closed when it started, so that a write
// to a closed standard output succeeds there and the player would never learn it cannot be
// heard. Node opens it for reading and writing, where a shell's >/dev/null opens it for writing
// only: that tells the two apart.
EM_JS(int, standardOutputWasClosed, (), {
    try {
        const fs = require("fs");
        const out = fs.fstatSync(1);
        if (!out.isCharacterDevice() || out.rdev !== fs.statSync("/dev/null").rdev) {
            return 0;
        }
        const flags = /flags:[^0-7]*([0-7]+)/.exec(fs.readFileSync("/proc/self/fdinfo/1", "utf8"));
        return flags && (parseInt(flags[1], 8) & 3) === 2 ? 1 : 0;
    } catch (error) {
        return 0;
    }
});
// clang-format on
#endif

namespace {

constexpr int kUsageError = 2;

constexpr std::string_view kHelp = R"(Usage: tovik-story COMMAND [--lang ru|en] [OPTIONS]

Commands:
  play [--seed N]  Play the game without a window. Loads the game window, prints its state,
                   then reads one command a line from standard input and answers each with
                   one state line on standard output. Ends at the end of the input, or after
                   "answer yes" has closed the game.
  check            Check the story: every scene, choice and text; one line per finding.
                   Exit code 0 when every check holds, 1 when one fails.
  map [FILE]       Write the map of the dungeon, the scenes and the choices between them,
                   as a Graphviz graph to FILE or to standard output.
  lines            Write every text the window wraps or sizes to itself, one JSON object a
                   line, with the lines its labels break it into in the game's font.
  pot [FILE]       Write the translation template, every text of the game in Russian with
                   its context, to FILE or to standard output.
  -h, --help       Show this help.

Option of every command:
  --lang ru|en     The language of the game's texts: Russian (the default) or English.

Option of play:
  --seed N         Draw every chance and every blow from seed N (0 to 2^64-1), so the same
                   commands give the same answers. Without it every run draws afresh.

Commands of play, one a line:
  click NAME       Click a control (R1..R5, Start, Attack, Item1, Quit, EndGame, ...) or the
                   window's background, Form. A hidden control does nothing.
  move NAME        Move the pointer over a control, or over the background (Form).
  tick NAME        One tick of a timer: HealthTimer, Death, Win or ColorChanger. A disabled
                   timer does nothing.
  answer yes|no    Answer the exit question that a click on Quit asked. While it is open,
                   clicks and moves do nothing; the timers go on ticking.
  key KEY          Press a key of the game's: Tab, BackTab, Enter, Space, Escape or 1..5.
  focus NAME       Put the keyboard's focus on a control, as the pointer or a reader does.
  save             Answer {"record": "tovik-record 1 ...\nend N"}: the game's record, its
                   seed and every event so far, on one line.
  restore TEXT     Play the game again from a record: TEXT is the record as it stands
                   between the quotes of save's answer, with JSON's string escapes (\u000A
                   or \n between its lines). A record that is damaged, truncated, of
                   another version or story, or past the bounds, is refused and nothing
                   changes.
A command followed by *N is done N times and answered once.

Each state line is one JSON object: the scene shown (0 for the opening passage, null for
none), the game's members Health, HealthOpponent, NameOpponent, Roll and Ring, every control
(visible, caption, text colour), the four timers, the window ("shown", "hidden",
"unloaded"), the open exit question (null when none), and the sound player: Filename and
Flags (null once the window is unloaded and the player released) and plays, the number of
sounds played so far. Sounds are counted, not played. A line that is not a command is
answered by {"error": "..."} and changes nothing.

Wrong arguments are reported in one line on standard error, with exit code 2. A line of
more than 4096 bytes (a restore line: 4 MiB), or output that cannot be written, ends the
command with exit code 1.
)";

int usageError(const std::string& why) {
    std::cerr << "tovik-story: " << why << " (see tovik-story --help)\n";
    return kUsageError;
}

bool isHelp(std::string_view argument) {
    return argument == "-h" || argument == "--help";
}

// The folder of this player: the executable's, or under Node the script's.
std::filesystem::path playerFolder([[maybe_unused]] const char* argv0) {
#ifdef __EMSCRIPTEN__
    char* folder = scriptFolder();
    const std::filesystem::path path(folder);
    std::free(folder);
    return path;
#else
    return tovik::sound::programFolder(argv0);
#endif
}

int play(const tovik::GivenOptions& options, const char* argv0) {
    std::optional<std::uint64_t> seed;
    if (const std::string* text = options.value("seed")) {
        const auto read = tovik::seedOption(*text);
        if (const auto* why = std::get_if<std::string>(&read)) {
            return usageError("play: " + *why);
        }
        seed = std::get<std::uint64_t>(read);
    }
    std::ios::sync_with_stdio(false);  // the player speaks through iostreams only
#ifdef __EMSCRIPTEN__
    if (standardOutputWasClosed() != 0) {
        std::cout.setstate(std::ios::badbit);  // refused at the first write, as natively
    }
#endif
    tovik::SeededRandom random = seed ? tovik::SeededRandom(*seed) : tovik::SeededRandom();
    // The sounds beside the executable, else those installed with the game.
    tovik::tools::PlaySession session(random,
                                      tovik::sound::soundHome(playerFolder(argv0)).string());
    if (const std::optional<std::string> problem = session.run(std::cin, std::cout)) {
        std::cerr << "tovik-story play: " << *problem << '\n';
        return 1;
    }
    return 0;
}

#ifndef TOVIK_HAS_STORY_CHECK
int notAvailable(std::string_view command) {
    std::cerr << "tovik-story: " << command << " is not available in this build\n";
    return kUsageError;
}
#endif

int writeTemplate(const tovik::GivenOptions& options) {
    if (options.operands.empty()) {
        tovik::tools::writeCatalogueTemplate(std::cout);
        return std::cout.flush() ? 0 : 1;
    }
    const std::string& path = options.operands.front();
    std::ofstream file(path, std::ios::binary);
    if (file) {
        tovik::tools::writeCatalogueTemplate(file);
        file.close();
    }
    if (!file) {
        std::cerr << "tovik-story pot: cannot write " << tovik::quotedText(path) << "\n";
        return 1;
    }
    return 0;
}

// The options each command takes, and how many plain words (a file to write).
struct CommandRules {
    std::string_view command;
    std::vector<tovik::OptionRule> options;
    std::size_t operands = 0;
};

const CommandRules* rulesOf(std::string_view command) {
    static const std::array<CommandRules, 5> kCommands = {{
        {"play", {tovik::kLanguageOption, tovik::OptionRule{"seed", true}}, 0},
        {"check", {tovik::kLanguageOption}, 0},
        {"map", {tovik::kLanguageOption}, 1},
        {"lines", {tovik::kLanguageOption}, 0},
        {"pot", {tovik::kLanguageOption}, 1},
    }};
    for (const CommandRules& rules : kCommands) {
        if (rules.command == command) {
            return &rules;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "--help";
    if (isHelp(command)) {
        std::cout << kHelp;
        return 0;
    }
    const CommandRules* rules = rulesOf(command);
    if (rules == nullptr) {
        return usageError("unknown command " + tovik::quotedText(command) +
                          "; expected play, check, map, lines or pot");
    }
    const std::vector<std::string_view> arguments(argv + 2, argv + argc);
    const auto parsed = tovik::parseOptions(arguments, rules->options, rules->operands);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        return usageError(std::string(command) + ": " + *why);
    }
    const tovik::GivenOptions& options = std::get<tovik::GivenOptions>(parsed);
    if (options.has("help")) {
        std::cout << kHelp;
        return 0;
    }
    if (const std::string* code = options.value("lang")) {
        const auto language = tovik::languageOption(*code);
        if (const auto* why = std::get_if<std::string>(&language)) {
            return usageError(std::string(command) + ": " + *why);
        }
        tovik::story::setLanguage(std::get<tovik::story::Language>(language));
    }
    if (command == "play") {
        return play(options, argv[0]);
    }
    if (command == "pot") {
        return writeTemplate(options);
    }
#ifdef TOVIK_HAS_STORY_CHECK
    // The story's own commands take the command and its file, if any, as their arguments.
    std::vector<char*> words{argv[1]};
    for (const std::string& operand : options.operands) {
        words.push_back(const_cast<char*>(operand.c_str()));
    }
    words.push_back(nullptr);
    const int count = static_cast<int>(words.size()) - 1;
    if (command == "lines") {
        return tovik::tools::runLines(count, words.data());
    }
    return command == "check" ? tovik::tools::runCheck(count, words.data())
                              : tovik::tools::runMap(count, words.data());
#else
    return notAvailable(command);
#endif
}
