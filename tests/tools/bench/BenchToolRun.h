#pragma once

// Runs the real dusk_bench program and reads back its output.

#include "support/BuildPaths.h"
#include "support/EndToEnd.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace dusk::test {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The shell command line that runs dusk_bench with the arguments.
inline std::string commandLine(const std::vector<std::string>& arguments) {
    std::string line = dusk::test::built::benchBinary();
    for (const std::string& argument : arguments) {
        line += " '" + argument + "'";
    }
    return line;
}

// Runs dusk_bench with the arguments, standard input closed; its output goes to files in
// `scratchDir`. `environment` changes the program's: NAME=VALUE sets, NAME alone removes.
inline ToolResult runTool(const std::vector<std::string>& arguments, const std::string& scratchDir,
                          const std::vector<std::string>& environment = {}) {
    std::filesystem::create_directories(scratchDir);
    std::string command;
    for (const std::string& change : environment) {
        command += (change.find('=') == std::string::npos ? "unset " : "export ") + change + "; ";
    }
    const std::string out = scratchDir + "/stdout.txt", err = scratchDir + "/stderr.txt";
    const int status = std::system(
        (command + commandLine(arguments) + " >'" + out + "' 2>'" + err + "' </dev/null").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128, readFile(out), readFile(err)};
}

}  // namespace dusk::test
