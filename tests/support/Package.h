#pragma once

#include "support/BuildPaths.h"
#include "support/EndToEnd.h"

namespace dusk::test {

// The build's Debian package unpacked with dpkg-deb, as dpkg would install it but into a fresh
// folder of the given name, without touching the machine's own packages: the folder.
inline std::string unpackedPackage(const std::string& name) {
    const std::string root = freshFolder(name);
    outputOf("dpkg-deb -x '" + dusk::test::built::packageFile() + "' '" + root + "'");
    return root;
}

// A shell command's output, standard error included, and its exit code.
struct CommandResult {
    std::vector<std::string> lines;
    int exitCode = -1;
};
inline CommandResult runCommand(const std::string& command) {
    std::vector<std::string> lines = linesOf(outputOf("(" + command + ") 2>&1; echo \"exit $?\""));
    CommandResult result;
    if (!lines.empty() && lines.back().rfind("exit ", 0) == 0) {
        result.exitCode = std::stoi(lines.back().substr(5));
        lines.pop_back();
    }
    result.lines = lines;
    return result;
}

}  // namespace dusk::test
