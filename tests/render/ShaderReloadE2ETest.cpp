#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

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

// Holds F7 until the demo's output has grown by a line that matches `line`.
bool reload(const std::string& window, DemoProcess& demo, const std::regex& line) {
    const size_t seen = demo.output().size();
    return x11::holdKeyUntil(
        window, "F7",
        [&] {
            const std::string output = demo.output();
            return std::regex_search(output.begin() + seen, output.end(), line);
        },
        30.0, "F7's line");
}

// The real binary with a shader file of its run directory changed while it runs: broken by a
// syntax error, F7 names the file and the driver's log and the demo draws on as before; fixed
// with a green sky, F7 reloads and the window shows the green sky.
TEST(ShaderReloadE2ETest, F7ShowsAChangedShaderAndABrokenOneChangesNothing) {
    RunDirectory dir("shader-reload");
    fs::remove(dir.file("Dusklorne/Shader"));
    fs::copy(DUSK_RUN_DIR "/Dusklorne/Shader", dir.file("Dusklorne/Shader"));
    const std::string sky = dir.file("Dusklorne/Shader/sky.frag");
    const std::string original = readFile(sky);
    DemoProcess demo(dir);
    const std::string window = x11::waitForWindow(60.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    // The window shows before the programs are built; the trees come after them.
    ASSERT_TRUE(waitUntil(
        [&] { return demo.output().find("Loading Model: Tree 3\n") != std::string::npos; }, 60.0,
        "the trees' loader line"));

    writeFile(sky, original + "\nnot GLSL\n");
    ASSERT_TRUE(reload(window, demo,
                       std::regex("\nshader reload failed: Dusklorne/Shader/sky\\.frag: "
                                  "0:[0-9]+\\([0-9]+\\): error: [^\n]+\n")))
        << demo.output();
    // The intro goes on, drawn with the programs it had.
    const Picture first = x11::windowPicture(window, dir.file("broken-1.png"));
    Picture later;
    EXPECT_TRUE(waitUntil(
        [&] {
            later = x11::windowPicture(window, dir.file("broken-2.png"));
            return changedShare(first, later, 30) > 0.01;
        },
        30.0, "the intro to go on with the old programs"));
    EXPECT_EQ(greenShare(later), 0.0);

    writeFile(sky, "#version 330 core\nout vec4 fragColor;\n"
                   "void main() { fragColor = vec4(0.0, 1.0, 0.0, 0.0); }\n");
    ASSERT_TRUE(reload(window, demo, std::regex("\nreloaded shaders\n"))) << demo.output();
    EXPECT_TRUE(waitUntil(
        [&] { return greenShare(x11::windowPicture(window, dir.file("green.png"))) > 0.1; }, 30.0,
        "the green sky"));
    EXPECT_EQ(x11::endWithEscape(window, demo), 0);
    EXPECT_EQ(demo.output().find("ERROR"), std::string::npos) << demo.output();
}

}  // namespace
