#include "tools/bench/BenchToolRun.h"
#include "support/BuildPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

// Captures fixed moments with the real shaders, models and images at 320 x 240 and compares
// each with its reference picture. DUSK_UPDATE_REFERENCES=1 writes the captures as the new
// references instead (scripts/update-references.sh).
namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

// Compared in tiles of 16 x 16 pixels, so that a change confined to one part of the picture (a
// tree moved, the nebula composited wrongly) counts as much as one spread over all of it (flat
// walls). A pixel differs when one channel is off by more than `channelTolerance` (room for
// other CPUs and LLVM versions rounding a little differently); a tile differs when more than
// `pixelsPerTile` of its pixels differ or its channels are off by more than `meanTolerance` on
// average. A picture matches when no tile differs; a mismatched capture is kept under the
// reference's name in the output folder.
constexpr int tileSize = 16;
constexpr int channelTolerance = 8;
constexpr int pixelsPerTile = 8;
constexpr double meanTolerance = 1.0;

// The tiles that differ, and in `first` where the first of them is and how it differs.
int differingTiles(const Picture& now, const Picture& then, std::string* first) {
    int tiles = 0;
    for (int ty = 0; ty < now.height; ty += tileSize) {
        for (int tx = 0; tx < now.width; tx += tileSize) {
            int differing = 0, offBy = 0, pixels = 0;
            for (int y = ty; y < std::min(ty + tileSize, now.height); ++y) {
                for (int x = tx; x < std::min(tx + tileSize, now.width); ++x, ++pixels) {
                    int largest = 0;
                    for (int c = 0; c < 3; ++c) {
                        largest = std::max(largest, std::abs(now.at(x, y)[c] - then.at(x, y)[c]));
                        offBy += std::abs(now.at(x, y)[c] - then.at(x, y)[c]);
                    }
                    differing += largest > channelTolerance;
                }
            }
            if ((differing > pixelsPerTile || offBy > meanTolerance * 3 * pixels) && !tiles++) {
                *first = "the tile at (" + std::to_string(tx) + ", " + std::to_string(ty) +
                         ") has " + std::to_string(differing) + " pixels off by more than " +
                         std::to_string(channelTolerance) + ", channels off by " +
                         std::to_string(offBy / (3.0 * pixels)) + " on average";
            }
        }
    }
    return tiles;
}

// The intro moments, free flight after the intro (W held) and the wireframe switched on by F3.
// At 0.25 s a frame pathTime grows by 0.01 a frame: the intro is over after frame 171.
const char* const moments[][2] = {
    {"intro-0.05.png", "pathtime-0.050.png"}, {"intro-0.30.png", "pathtime-0.300.png"},
    {"intro-0.58.png", "pathtime-0.580.png"}, {"intro-1.05.png", "pathtime-1.050.png"},
    {"free-flight.png", "frame-192.png"},     {"wireframe.png", "frame-195.png"}};

TEST(ImageRegressionE2ETest, CapturedMomentsMatchTheReferences) {
    const std::string references = dusk::test::built::sourceDir() + "/tests/tools/bench/reference";
    const bool update = std::getenv("DUSK_UPDATE_REFERENCES") != nullptr &&
                        std::string(std::getenv("DUSK_UPDATE_REFERENCES")) == "1";
    const std::string output = dusk::test::built::testOutputDir() + "/image-regression";
    fs::remove_all(output);
    RunDirectory dir("image-regression/run", "320 240\n");
    ToolResult result =
        runTool({"capture", "--size", "320x240", "--dt", "0.25", "--at-time", "0.05,0.3,0.58,1.05",
                 "--key", "W@172+20", "--key", "F3@193", "--at-frame", "192,195", "--run-dir",
                 dir.path(), "--out", output + "/captured"},
                output + "/tool");
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find("ERROR"), std::string::npos) << result.out;

    for (auto [reference, captured] : moments) {
        const std::string capturedPath = output + "/captured/" + captured;
        const std::string referencePath = references + "/" + reference;
        if (update) {
            fs::copy_file(capturedPath, referencePath, fs::copy_options::overwrite_existing);
            continue;
        }
        const Picture now = readPicture(capturedPath), then = readPicture(referencePath);
        ASSERT_TRUE(!now.rgb.empty() && now.width == then.width && now.height == then.height)
            << reference;
        std::string first;
        const int tiles = differingTiles(now, then, &first);
        if (tiles > 0) {
            const std::string kept = output + "/" + reference;
            fs::copy_file(capturedPath, kept, fs::copy_options::overwrite_existing);
            ADD_FAILURE() << reference << ": " << tiles << " tiles differ; " << first
                          << "; the capture is " << kept
                          << " (an intended change: scripts/update-references.sh)";
        }
    }
}

}  // namespace
