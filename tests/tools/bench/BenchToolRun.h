#pragma once

// Runs the real dusk_bench program and reads back its output.

#include "support/EndToEnd.h"

#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace dusk::test {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs dusk_bench with the arguments, standard input closed; its output goes to files in
// `scratchDir`. `environment` changes the program's: NAME=VALUE sets, NAME alone removes.
inline ToolResult runTool(const std::vector<std::string>& arguments, const std::string& scratchDir,
                          const std::vector<std::string>& environment = {}) {
    std::filesystem::create_directories(scratchDir);
    const std::string out = scratchDir + "/stdout.txt";
    const std::string err = scratchDir + "/stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv = {const_cast<char*>(DUSK_BENCH_BINARY)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        for (const std::string& change : environment) {
            const size_t equals = change.find('=');
            equals == std::string::npos
                ? unsetenv(change.c_str())
                : setenv(change.substr(0, equals).c_str(), change.substr(equals + 1).c_str(), 1);
        }
        if (freopen(out.c_str(), "w", stdout) && freopen(err.c_str(), "w", stderr) &&
            freopen("/dev/null", "r", stdin)) {
            execv(argv[0], argv.data());
        }
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128, readFile(out), readFile(err)};
}

}  // namespace dusk::test
