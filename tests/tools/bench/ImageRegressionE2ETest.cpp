#include "support/EndToEnd.h"
#include "tools/bench/BenchToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// Captures fixed moments with the real shaders, models and images at 320 x 240 and compares
// each with its reference picture. DUSK_UPDATE_REFERENCES=1 writes the captures as the new
// references instead (scripts/update-references.sh).
namespace {

using namespace dusk::test::bench;
namespace fs = std::filesystem;

// A pixel differs when one channel is off by more than this (room for other CPUs and LLVM
// versions rounding a little differently); a picture matches when at most 1 % of it differs.
// A mismatched capture is kept under the reference's name in the output folder.
constexpr int channelTolerance = 12;
constexpr double allowedShare = 0.01;

// The intro moments, free flight after the intro (W held) and the wireframe switched on by F3.
// At 0.25 s a frame pathTime grows by 0.01 a frame: the intro is over after frame 171.
const char* const moments[][2] = {
    {"intro-0.05.png", "pathtime-0.050.png"}, {"intro-0.30.png", "pathtime-0.300.png"},
    {"intro-0.58.png", "pathtime-0.580.png"}, {"intro-1.05.png", "pathtime-1.050.png"},
    {"free-flight.png", "frame-192.png"},     {"wireframe.png", "frame-195.png"}};

TEST(ImageRegressionE2ETest, CapturedMomentsMatchTheReferences) {
    const std::string references = std::string(DUSK_SOURCE_DIR) + "/tests/tools/bench/reference";
    const bool update = std::getenv("DUSK_UPDATE_REFERENCES") != nullptr &&
                        std::string(std::getenv("DUSK_UPDATE_REFERENCES")) == "1";
    const std::string output = std::string(DUSK_TEST_OUTPUT_DIR) + "/image-regression";
    fs::remove_all(output);
    dusk::test::RunDirectory dir("image-regression/run", "320 240\n");
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
        Picture now, then;
        ASSERT_TRUE(readPicture(capturedPath, &now) && readPicture(referencePath, &then))
            << reference;
        ASSERT_EQ(now.rgb.size(), then.rgb.size()) << reference;
        int differing = 0;
        for (size_t i = 0; i < now.rgb.size(); i += 3) {
            differing += std::max({std::abs(now.rgb[i] - then.rgb[i]),
                                   std::abs(now.rgb[i + 1] - then.rgb[i + 1]),
                                   std::abs(now.rgb[i + 2] - then.rgb[i + 2])}) > channelTolerance;
        }
        if (differing > allowedShare * now.rgb.size() / 3) {
            const std::string kept = output + "/" + reference;
            fs::copy_file(capturedPath, kept, fs::copy_options::overwrite_existing);
            ADD_FAILURE() << reference << ": " << differing << " pixels differ by more than "
                          << channelTolerance << "; the capture is " << kept
                          << " (an intended change: scripts/update-references.sh)";
        }
    }
}

}  // namespace
