#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "json_reader.h"
#include "support/shell_output.h"

namespace tovik::testing {
namespace {

// The player under test: the native build, or tovik-story.js when TOVIK_NODE_STORY names it
// (the browser build's player, run by `node`), so both answer the same protocol tests.
std::string playerScript() {
    const char* script = std::getenv("TOVIK_NODE_STORY");
    return script != nullptr ? script : "";
}

// Runs a shell command line, standard error where it says; "$TOOL" in it runs the player.
ShellOutput runShell(std::string line) {
    const std::string script = playerScript();
    for (std::size_t at = line.find("\"$TOOL\""); !script.empty() && at != std::string::npos;
         at = line.find("\"$TOOL\"", at + 12)) {
        line.replace(at, 7, "node \"$TOOL\"");
    }
    return runCommand("TOOL='" + (script.empty() ? std::string(TOVIK_STORY_BINARY) : script) +
                      "'; " + line);
}

// Runs the player with `arguments`, `input` (no apostrophes) piped in, both outputs together.
ShellOutput runTool(const std::string& arguments, const std::string& input = "") {
    return runShell("printf '%s' '" + input + "' | \"$TOOL\" " + arguments + " 2>&1");
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(CommandLine, HelpExplainsEveryCommand) {
    for (const char* asked : {"--help", "-h", ""}) {
        const ShellOutput run = runTool(asked);
        EXPECT_EQ(run.exitCode, 0) << asked;
        for (const char* word : {"play", "check", "map", "--seed", "click", "move", "tick",
                                 "answer yes|no", "HealthTimer", "Form"}) {
            EXPECT_NE(run.text.find(word), std::string::npos) << asked << " lacks " << word;
        }
    }
}

TEST(CommandLine, BadArgumentsGetOneLineAndExitCodeTwo) {
    for (const char* arguments :
         {"bogus", "play --seed", "play --seed -1", "play --seed 12x",
          "play --seed 18446744073709551616", "play extra", "play --seed 1 --seed 2", "--seed 1",
          "play --seed ' 5'", "play --seed +5", "play --seed '5 '", "play --seed ''", "play --lang",
          "play --lang de", "play --lang EN"}) {
        const ShellOutput run = runTool(arguments, "click Start\n");
        EXPECT_EQ(run.exitCode, 2) << arguments;
        const std::vector<std::string> lines = linesOf(run.text);
        ASSERT_EQ(lines.size(), 1u) << arguments << ": " << run.text;
        EXPECT_EQ(lines[0].rfind("tovik-story: ", 0), 0u) << lines[0];
    }
}

TEST(CommandLine, PlayAnswersEachLineAndStopsAtTheYes) {
    const std::string commands = "click Start\nclick R1\nclick Quit\nanswer yes\nclick R1\n";
    const ShellOutput run = runTool("play --seed 9", commands);
    ASSERT_EQ(run.exitCode, 0) << run.text;
    const std::vector<std::string> lines = linesOf(run.text);
    ASSERT_EQ(lines.size(), 5u) << run.text;

    // The sounds are looked for beside the executable.
    const std::filesystem::path folder =
        std::filesystem::canonical(playerScript().empty() ? TOVIK_STORY_BINARY : playerScript())
            .parent_path();
    EXPECT_EQ(Json::parse(lines[1])["sound"]["Filename"].string,
              (folder / "TovikSound" / "dindin.wav").string());
    EXPECT_EQ(Json::parse(lines[2])["scene"].number, 1);
    EXPECT_EQ(Json::parse(lines[4])["window"].string, "unloaded");

    EXPECT_EQ(runTool("play --seed 9", commands).text, run.text) << "same seed, same game";

    const ShellOutput empty = runTool("play", "");  // ends with the input
    EXPECT_EQ(empty.exitCode, 0);
    ASSERT_EQ(linesOf(empty.text).size(), 1u);
    EXPECT_TRUE(Json::parse(empty.text)["scene"].isNull());
}

TEST(CommandLine, PlayInEnglishIsTheSameGameInOtherWords) {
    const std::string commands = "click Start\nclick R1\nclick R3\nclick R2\n";
    const std::vector<std::string> russian = linesOf(runTool("play --seed 9", commands).text);
    const ShellOutput run = runTool("play --lang en --seed 9", commands);
    ASSERT_EQ(run.exitCode, 0) << run.text;
    const std::vector<std::string> english = linesOf(run.text);
    ASSERT_EQ(english.size(), russian.size());
    for (std::size_t i = 0; i < english.size(); ++i) {
        const Json shown = Json::parse(english[i]);
        EXPECT_EQ(shown["scene"].number, Json::parse(russian[i])["scene"].number) << i;
        const std::string caption = shown["controls"]["R1"]["caption"].string;
        if (shown["controls"]["R1"]["visible"].boolean) {
            EXPECT_EQ(caption.find_first_of("\xD0\xD1"), std::string::npos) << caption;
        }
    }
}

TEST(CommandLine, AnOverlongLineEndsPlayWithAnError) {
    // A stream without a line end, as from /dev/zero, is refused at the bound, not read on.
    const ShellOutput run = runShell("head -c 100000000 /dev/zero | \"$TOOL\" play 2>&1");
    EXPECT_EQ(run.exitCode, 1);
    const std::vector<std::string> lines = linesOf(run.text);
    ASSERT_EQ(lines.size(), 3u) << run.text.substr(0, 2000);
    const std::string why = "line 1 is longer than 4096 bytes; a command is one short line";
    EXPECT_EQ(Json::parse(lines[1])["error"].string, why);
    EXPECT_EQ(lines[2], "tovik-story play: " + why);
}

TEST(CommandLine, PlayWithoutAStandardOutputIsAnError) {
    for (const char* output : {">&-", ">/dev/full"}) {
        const ShellOutput run =
            runShell("printf 'click Start\\n' | \"$TOOL\" play 2>&1 " + std::string(output));
        EXPECT_EQ(run.exitCode, 1) << output;
        EXPECT_EQ(run.text, "tovik-story play: cannot write the state to standard output\n")
            << output;
    }
}

TEST(CommandLine, AFailedWriteIsAnError) {
    for (const char* command : {"check", "map"}) {
        const ShellOutput run = runShell("\"$TOOL\" " + std::string(command) + " 2>&1 >/dev/full");
        EXPECT_EQ(run.exitCode, 1) << command;
        // Qt may add a word of its own about the runtime folder when XDG_RUNTIME_DIR is unset.
        std::vector<std::string> lines;
        for (const std::string& line : linesOf(run.text)) {
            if (line.rfind("QStandardPaths: ", 0) != 0) {
                lines.push_back(line);
            }
        }
        ASSERT_EQ(lines.size(), 1u) << command << ": " << run.text;
        EXPECT_EQ(lines[0].rfind("tovik-story " + std::string(command) + ": cannot write", 0), 0u)
            << lines[0];
    }
}

TEST(CommandLine, TheCheckNeedsNoDisplay) {
    const ShellOutput quiet = runShell(
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
        "\"$TOOL\" check 2>&1");
    ASSERT_EQ(quiet.exitCode, 0) << quiet.text;
    for (const char* environment :
         {"DISPLAY=:97 QT_QPA_PLATFORM=xcb", "QT_QPA_PLATFORM=bogus", "WAYLAND_DISPLAY=none"}) {
        const ShellOutput run =
            runShell("env " + std::string(environment) + " \"$TOOL\" check 2>&1");
        EXPECT_EQ(run.exitCode, 0) << environment << ": " << run.text;
        EXPECT_EQ(run.text, quiet.text) << environment;
    }
}

}  // namespace
}  // namespace tovik::testing
