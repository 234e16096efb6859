#pragma once

#include "render/ShaderProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace dusk::test {

// A fresh folder under the test output folder, named after the running test, so tests that run
// side by side never share files.
inline std::string testFolder() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string path = std::string(DUSK_TEST_OUTPUT_DIR) + "/scene/" + info->test_suite_name() +
                       "." + info->name();
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// A program built by the real ShaderProgram from two files written into the folder.
inline ShaderProgram* buildProgram(const std::string& folder, const std::string& name,
                                   const std::string& vertexSource,
                                   const std::string& fragmentSource) {
    const std::string vertexPath = folder + "/" + name + ".vert";
    const std::string fragmentPath = folder + "/" + name + ".frag";
    writeText(vertexPath, vertexSource);
    writeText(fragmentPath, fragmentSource);
    return new ShaderProgram(vertexPath, fragmentPath);
}

}  // namespace dusk::test
