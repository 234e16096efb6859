#include "support/BuildPaths.h"
#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace dusk::test;

// The share of the window that is the test's pure green.
double greenShare(const Picture& picture) {
    size_t green = 0;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        green += picture.rgb[i] < 60 && picture.rgb[i + 1] > 200 && picture.rgb[i + 2] < 60;
    }
    return picture.rgb.empty() ? 0.0 : 3.0 * green / picture.rgb.size();
}

// The real binary with a shader file of its run directory changed while it runs: F7 reloads and
// the window shows the change, a green sky. (What a broken file leaves, the GL test shows.)
TEST(ShaderReloadE2ETest, F7ShowsAChangedShader) {
    RunDirectory dir("shader-reload");
    fs::remove(dir.file("Dusklorne/Shader"));
    fs::copy(dusk::test::built::runDir() + "/Dusklorne/Shader", dir.file("Dusklorne/Shader"));
    DemoProcess demo(dir);
    const std::string window = x11::waitForWindow(60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    // The window shows before the programs are built; the trees come after them.
    ASSERT_TRUE(waitUntil(
        [&] { return demo.output().find("Loading Model: Tree 3\n") != std::string::npos; }, 60.0,
        "the trees' loader line"));
    EXPECT_EQ(greenShare(x11::windowPicture(window, dir.file("before.png"))), 0.0);

    writeFile(dir.file("Dusklorne/Shader/sky.frag"),
              "#version 330 core\nout vec4 fragColor;\n"
              "void main() { fragColor = vec4(0.0, 1.0, 0.0, 0.0); }\n");
    ASSERT_TRUE(x11::pressUntilPrinted(window, demo, "F7", "reloaded shaders\n", 30.0))
        << demo.output();
    EXPECT_TRUE(waitUntil(
        [&] { return greenShare(x11::windowPicture(window, dir.file("green.png"))) > 0.1; }, 30.0,
        "the green sky"));
    EXPECT_EQ(x11::endWithEscape(window, demo), 0);
    EXPECT_EQ(demo.output().find("ERROR"), std::string::npos) << demo.output();
}

}  // namespace
