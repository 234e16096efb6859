#include "support/Package.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

// A launcher that cannot prepare the run directory says what failed in one line and ends with
// code 1 before the demo starts (a demo that starts is ended after a minute).
TEST(LauncherTest, WhatKeepsItFromPreparingTheRunDirectoryIsOneLineAndCode1) {
    const std::string root = unpackedPackage("launcher-failures");
    const std::string launcher = root + "/usr/games/dusklorne";
    // The launcher alone, without the package's tree around it.
    const std::string alone = root + "/alone";
    fs::create_directories(alone + "/games");
    fs::copy(launcher, alone + "/games/dusklorne");
    writeFile(root + "/a-file", "");
    using Case = std::tuple<std::string, std::string, std::string>;  // environment, command, line
    for (const auto& [environment, command, line] : {
             Case{"HOME='" + root + "'", alone + "/games/dusklorne",
                  "dusklorne: the game's files are not in " + alone +
                      " (looked for lib/games/dusklorne and share/games/dusklorne)"},
             Case{"HOME='" + root + "' XDG_DATA_HOME='" + root + "/a-file'", launcher,
                  "dusklorne: cannot make the run directory " + root + "/a-file/dusklorne"},
             Case{"-u HOME", launcher, "dusklorne: neither HOME nor XDG_DATA_HOME is set"},
         }) {
        SCOPED_TRACE(environment + " " + command);
        const CommandResult result =
            runCommand("cd '" + root + "' && timeout 60 env -u XDG_DATA_HOME " + environment +
                       " '" + command + "' </dev/null");
        EXPECT_EQ(result.lines, std::vector<std::string>{line});
        EXPECT_EQ(result.exitCode, 1);
    }
}

}  // namespace
