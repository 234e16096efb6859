#pragma once

#include "support/BuildPaths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Files and output lines of the tests, the same helpers for every group.
namespace dusk::test {

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Creates the folders on the way.
inline void writeFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// An empty folder of the given name under the build's test output folder, in a folder of the
// running test's own (Suite.Test): ctest runs test cases side by side, and no two share a file.
inline std::string freshFolder(const std::string& name) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string path =
        dusk::test::built::testOutputDir() + "/" + name +
        (test ? "/" + std::string(test->test_suite_name()) + "." + test->name() : "");
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path, ignored);
    std::filesystem::create_directories(path);
    return path;
}

// The lines of a program's output, without their line ends (LF, or CRLF from a Windows console).
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.empty() || line.back() != '\r' ? line
                                                            : line.substr(0, line.size() - 1));
    }
    return lines;
}

// What `act` printed on standard output.
template <class Act> std::string printedBy(Act act) {
    testing::internal::CaptureStdout();
    act();
    return testing::internal::GetCapturedStdout();
}

}  // namespace dusk::test
