#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace dusk::test;

// Without its images, or without its models, the demo reports every file it could not load and
// still plays the intro (sped up) until ESC ends it normally.
TEST(MissingAssetsE2ETest, EachMissingFileIsReportedAndTheFramesGoOn) {
    // The folder, the start of each line before the file name, and some of the files.
    for (const auto& [folder, report, files] : {
             std::tuple<std::string, std::string, std::vector<std::string>>{
                 "Model/Image",
                 "\nError loading texture '",
                 {"ground19.jpg", "Default_NM.png", "tree1.png", "fire_atlas.png"}},
             {"Model/Object", "\nError parsing '", {"ground20.obj", "castle.obj", "tree3.obj"}},
         }) {
        SCOPED_TRACE(folder);
        RunDirectory dir("missing-assets");
        std::filesystem::remove(dir.file(folder));
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
            120.0, "two different camera positions in camData.txt"));
        EXPECT_EQ(x11::endWithEscape(window, demo), 0);
        const std::string output = "\n" + demo.output();
        for (const std::string& file : files) {
            EXPECT_NE(output.find(report + folder + "/" + file + "'"), output.npos) << file;
        }
    }
}

}  // namespace
