#include "support/EndToEnd.h"

#include <gtest/gtest.h>

namespace {

using namespace dusk::test;

// Without its images, or without its models, the demo reports every file it could not load and
// still plays the intro (sped up) until ESC ends it normally.
TEST(MissingAssetsE2ETest, EachMissingFileIsReportedAndTheFramesGoOn) {
    struct Case {
        const char* folder;
        std::string report;  // the line's start, before the file name
        std::vector<std::string> files;
    };
    for (const Case& c : {
             Case{"Model/Image",
                  "Error loading texture 'Model/Image/",
                  {"ground19.jpg", "Default_NM.png", "tree1.png", "fire_atlas.png"}},
             Case{"Model/Object",
                  "Error parsing 'Model/Object/",
                  {"ground20.obj", "castle.obj", "tree3.obj"}},
         }) {
        SCOPED_TRACE(c.folder);
        RunDirectory dir("missing-assets");
        std::filesystem::remove(dir.file(c.folder));
        DemoProcess demo(dir, true);
        const std::string window = x11::waitForWindow(60.0);
        ASSERT_FALSE(window.empty()) << demo.output();
        // Frames go on: flying the intro, the camera is somewhere else at each recording.
        EXPECT_TRUE(x11::holdKeyUntil(
            window, "space",
            [&] {
                auto lines = linesOf(readFile(dir.file("camData.txt")));
                return lines.size() > 1 && lines.front() != lines.back();
            },
            120.0));
        EXPECT_EQ(x11::endWithEscape(window, demo), 0);
        const std::string output = "\n" + demo.output();
        for (const std::string& file : c.files) {
            EXPECT_NE(output.find("\n" + c.report + file + "'"), std::string::npos) << file;
        }
    }
}

}  // namespace
