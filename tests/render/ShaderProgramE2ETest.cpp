#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;

// A shader file that cannot be read, compiled or linked ends the demo with its message and code
// 1; with no one at a terminal (standard input closed) it does not wait for a key.
TEST(ShaderProgramE2ETest, BrokenShaderFilesEndTheDemoWithTheirMessage) {
    struct Case {
        const char* file;
        const char* text;    // null: the file is missing
        std::string ending;  // of the output; the rest is the driver's log
        bool whole;          // the ending is the whole output
    };
    for (const Case& c : {
             Case{"depth.frag", nullptr, "ERROR: Could not load file", true},
             Case{"blinnphong.frag", "#version 330 core\nvoid main() { undeclared = 1.0; }\n",
                  " check", false},
             Case{"sky.frag", "#version 330 core\nout vec4 c;\nvoid paint() { c = vec4(1); }\n", "",
                  false},
         }) {
        SCOPED_TRACE(c.file);
        RunDirectory dir("shader-program");
        const std::string shaders = dir.file("Dusklorne/Shader");
        std::filesystem::remove(shaders);
        std::filesystem::copy(std::string(DUSK_RUN_DIR) + "/Dusklorne/Shader", shaders);
        std::filesystem::remove(shaders + "/" + c.file);
        if (c.text != nullptr) {
            dusk::test::writeFile(shaders + "/" + c.file, c.text);
        }
        DemoProcess demo(dir);
        EXPECT_EQ(demo.waitForExit(60.0), 1);
        std::string output = demo.output();
        output.erase(output.find_last_not_of('\n') + 1);
        EXPECT_GT(output.size() + c.whole, c.ending.size()) << output;
        EXPECT_EQ(output.substr(output.size() - std::min(output.size(), c.ending.size())),
                  c.ending);
    }
}

}  // namespace
