#include "tools/bench/BenchToolRun.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace dusk::test;

// A 40 x 30 picture against itself changed: the default tolerance is 16 levels in any one
// channel and a pass allows 2 % of the pixels (24 of 1200) to differ by more.
TEST(PictureCompareE2ETest, TheShareOfDifferingPixelsDecidesAndTheSheetMarksThem) {
    const std::string dir = freshFolder("picture-compare");
    Picture base{40, 30, std::vector<unsigned char>(3 * 40 * 30)};
    for (size_t i = 0; i < base.rgb.size(); ++i) {
        base.rgb[i] = static_cast<unsigned char>(60 + i % 131);
    }
    writePicture(base, dir + "/a.png");
    // Changes the first `pixels` pixels' `channel` (0 red, 1 green, 2 blue) by `levels`.
    auto changed = [&](int pixels, int channel, int levels) {
        Picture picture = base;
        for (int i = 0; i < pixels; ++i) {
            unsigned char& value = picture.rgb[3 * i + channel];
            value = static_cast<unsigned char>(value + levels);
        }
        return picture;
    };
    const std::tuple<const char*, Picture, int, const char*> cases[] = {
        {"red-16", changed(1200, 0, 16), 0, "compare: 0.000 % "},
        {"red-17", changed(1200, 0, -17), 1, "compare: 100.000 % "},
        {"green-16", changed(1200, 1, -16), 0, "compare: 0.000 % "},
        {"green-17", changed(1200, 1, 17), 1, "compare: 100.000 % "},
        {"blue-16", changed(1200, 2, 16), 0, "compare: 0.000 % "},
        {"blue-17", changed(1200, 2, 17), 1, "compare: 100.000 % "},
        {"few", changed(24, 1, 17), 0, "compare: 2.000 % "},
        {"many", changed(25, 2, -40), 1, "compare: 2.083 % "},
        {"size", Picture{30, 40, base.rgb}, 1, ""},
    };
    for (auto [name, picture, exitCode, line] : cases) {
        const std::string b = dir + "/" + name + ".png", sheet = dir + "/" + name + "-sheet.png";
        writePicture(picture, b);
        ToolResult result =
            runTool({"compare", dir + "/a.png", b, "--sheet", sheet}, dir + "/" + name);
        EXPECT_EQ(result.exitCode, exitCode) << name << result.err;
        EXPECT_EQ(result.out.rfind(line, 0), 0u) << name << ": " << result.out;
        EXPECT_EQ(linesOf(result.err).size(), *line == '\0' ? 1u : 0u) << result.err;
    }

    // The sheet of "many": A, B and the difference side by side, 25 red pixels in the last.
    const Picture sheet = readPicture(dir + "/many-sheet.png");
    EXPECT_GE(sheet.width, 3 * 40);
    int red = 0;
    for (size_t i = 0; i < sheet.rgb.size(); i += 3) {
        red += sheet.rgb[i] == 255 && sheet.rgb[i + 1] == 0 && sheet.rgb[i + 2] == 0;
    }
    EXPECT_EQ(red, 25);
}

}  // namespace
