#include "app/DebugKeysRealKeys.h"
#include "support/TextLines.h"
#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

namespace {

using dusk::test::DemoProcess;
using dusk::test::RunDirectory;
namespace x11 = dusk::test::x11;

using dusk::test::linesOf;

size_t indexOf(const std::vector<std::string>& lines, const std::string& line) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == line) {
            return i;
        }
    }
    return lines.size();
}

TEST(SceneAssemblyE2ETest, StartLoadsTheWholeSceneWithoutAnError) {
    RunDirectory dir("assembly-e2e-start", "640 480\n");
    dir.writeFile("camData.txt", "ballPath.push_back(glm::vec3(1f, 2f, 3f)); \n");
    DemoProcess demo(dir);
    std::string window = x11::waitForWindow("Dusklorne", 120.0);
    ASSERT_FALSE(window.empty()) << demo.output();
    ASSERT_TRUE(dusk::test::waitUntilKeysAreRead(window, demo)) << demo.output();
    // Truncated at the start, although nothing has been recorded.
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("camData.txt")));
    EXPECT_EQ(dir.readFile("camData.txt"), "");
    EXPECT_EQ(dusk::test::endWithEscape(window, demo), 0) << demo.output();

    std::vector<std::string> lines = linesOf(demo.output());
    const size_t tree1 = indexOf(lines, "Loading Model: Tree 1");
    const size_t tree3 = indexOf(lines, "Loading Model: Tree 3");
    ASSERT_LT(tree1, lines.size()) << demo.output();
    ASSERT_LT(tree3, lines.size()) << demo.output();
    EXPECT_LT(tree1, tree3);
    ASSERT_LT(tree3 + 1, lines.size());
    EXPECT_EQ(lines[tree1 + 1], "Loaded Texture: Model/Image/tree1.png");
    EXPECT_EQ(lines[tree3 + 1], "Loaded Texture: Model/Image/tree1.png");

    // The loaders report every object of the scene, before the trees.
    for (const char* loaded : {
             "Loaded Texture: Model/Image/ground19.jpg",
             "Loaded Normal Texture: Model/Image/ground19n.jpg",
             "Loaded Specular Texture: Model/Image/ground19s.jpg",
             "Loaded Texture: Model/Image/skybox2.jpg",
             "Loaded Texture: Model/Image/stone11.jpg",
             "Loaded Normal Texture: Model/Image/stone11n.jpg",
             "Loaded Specular Texture: Model/Image/stone11s.jpg",
             "Loaded Texture: Model/Image/est9.jpg",
         }) {
        EXPECT_LT(indexOf(lines, loaded), tree1) << loaded;
    }
    int trees1 = 0;
    int trees3 = 0;
    for (const std::string& line : lines) {
        trees1 += line == "Loading Model: Tree 1" ? 1 : 0;
        trees3 += line == "Loading Model: Tree 3" ? 1 : 0;
        EXPECT_NE(line.rfind("ERROR", 0), 0u) << line;
        EXPECT_NE(line.rfind("Error", 0), 0u) << line;
        EXPECT_NE(line.rfind("error", 0), 0u) << line;
    }
    EXPECT_EQ(trees1, 1);
    EXPECT_EQ(trees3, 1);
}

}  // namespace
