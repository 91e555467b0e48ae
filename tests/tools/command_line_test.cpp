#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "json_reader.h"

namespace tovik::testing {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// The player under test: the native build, or tovik-story.js when TOVIK_NODE_STORY names it
// (the browser build's player, run by `node`), so both answer the same protocol tests.
std::string playerScript() {
    const char* script = std::getenv("TOVIK_NODE_STORY");
    return script != nullptr && *script != '\0' ? script : "";
}

std::string playerCommand() {
    const std::string script = playerScript();
    return script.empty() ? "'" TOVIK_STORY_BINARY "'" : "node '" + script + "'";
}

// Runs tovik-story with `arguments` through the shell, `input` (no apostrophes) piped in.
ToolRun runTool(const std::string& arguments, const std::string& input = "") {
    const std::string command =
        "printf '%s' '" + input + "' | " + playerCommand() + " " + arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return run;
    }
    char buffer[4096];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        run.output.append(buffer, read);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
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
        const ToolRun run = runTool(asked);
        EXPECT_EQ(run.exitCode, 0) << asked;
        for (const char* word : {"play", "check", "map", "--seed", "click", "move", "tick",
                                 "answer yes|no", "HealthTimer", "Form"}) {
            EXPECT_NE(run.output.find(word), std::string::npos) << asked << " lacks " << word;
        }
    }
}

TEST(CommandLine, BadArgumentsGetOneLineAndExitCodeTwo) {
    for (const char* arguments :
         {"bogus", "play --seed", "play --seed -1", "play --seed 12x",
          "play --seed 18446744073709551616", "play extra", "play --seed 1 --seed 2", "--seed 1"}) {
        const ToolRun run = runTool(arguments, "click Start\n");
        EXPECT_EQ(run.exitCode, 2) << arguments;
        const std::vector<std::string> lines = linesOf(run.output);
        ASSERT_EQ(lines.size(), 1u) << arguments << ": " << run.output;
        EXPECT_EQ(lines[0].rfind("tovik-story: ", 0), 0u) << lines[0];
    }
}

TEST(CommandLine, PlayAnswersEachLineAndStopsAtTheYes) {
    const std::string commands = "click Start\nclick R1\nclick Quit\nanswer yes\nclick R1\n";
    const ToolRun run = runTool("play --seed 9", commands);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> lines = linesOf(run.output);
    ASSERT_EQ(lines.size(), 5u) << run.output;

    // The sounds are looked for beside the executable.
    const std::filesystem::path folder =
        std::filesystem::canonical(playerScript().empty() ? TOVIK_STORY_BINARY : playerScript())
            .parent_path();
    EXPECT_EQ(Json::parse(lines[1])["sound"]["Filename"].string,
              (folder / "TovikSound" / "dindin.wav").string());
    EXPECT_EQ(Json::parse(lines[2])["scene"].number, 1);
    EXPECT_EQ(Json::parse(lines[4])["window"].string, "unloaded");

    EXPECT_EQ(runTool("play --seed 9", commands).output, run.output) << "same seed, same game";
}

TEST(CommandLine, PlayEndsWithTheInput) {
    const ToolRun run = runTool("play", "");
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(linesOf(run.output).size(), 1u);
    EXPECT_TRUE(Json::parse(run.output)["scene"].isNull());
}

}  // namespace
}  // namespace tovik::testing
