#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tovik::testing {

// What a shell command wrote to its standard output, and how it ended.
struct ShellOutput {
    std::string text;
    int exitCode = -1;  // -1 when it did not exit of itself
};

// Runs `command` through /bin/sh and waits for it. The tests that start the real programs
// (redirecting standard error where they want it) all read them this way.
inline ShellOutput runCommand(const std::string& command) {
    ShellOutput result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return result;
    }
    char buffer[4096];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        result.text.append(buffer, read);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace tovik::testing
