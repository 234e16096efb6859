#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;

// Sizes beyond what the X server takes (it keeps only the low 16 bits) are refused like a size
// of 0: the window failure, never a signal or an X error. A size the server takes but the GL
// cannot back with textures ends with the scene target's message.
TEST(WindowSizeE2ETest, SizesTheWindowSystemCannotTakeEndWithAMessageAndCodeOne) {
    struct Case {
        const char* config;
        const char* output;
    };
    const std::string windowFailure = "ERROR: Could not open window.\n";
    for (const Case& c :
         {Case{"99999999999 600", windowFailure.c_str()},
          Case{"800 99999999999", windowFailure.c_str()},
          Case{"2147483647 600", windowFailure.c_str()},
          Case{"800 2147483647", windowFailure.c_str()}, Case{"65536 600", windowFailure.c_str()},
          Case{"800 65536", windowFailure.c_str()}, Case{"40000 600", windowFailure.c_str()},
          Case{"800 40000", windowFailure.c_str()},
          Case{"20000 20000", "Error! FrameBuffer is not complete\n"}}) {
        SCOPED_TRACE(c.config);
        RunDirectory dir("window-size", c.config);
        DemoProcess demo(dir);
        EXPECT_EQ(demo.waitForExit(60.0), 1);
        const std::string output = demo.output();
        const std::string expected = c.output;
        if (expected == windowFailure) {
            EXPECT_EQ(output, expected);
        } else {
            ASSERT_GE(output.size(), expected.size()) << output;
            EXPECT_EQ(output.substr(output.size() - expected.size()), expected);
        }
    }
}

}  // namespace
