#include "support/EndToEnd.h"
#include "tools/bench/BenchToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace dusk::test::bench;
namespace fs = std::filesystem;

// A pixel counts as different when one of its channels is off by more than this; llvmpipe gives
// the same bytes run after run on one machine, and this leaves room for other CPUs and LLVM
// versions rounding a little differently.
constexpr int channelTolerance = 12;
// A picture matches when no more than this share of its pixels is different.
constexpr double allowedShare = 0.01;

struct Moment {
    const char* reference;  // file name under tests/tools/bench/reference
    const char* captured;   // file name the tool writes
};

// The intro moments, free flight after the intro (W held) and the wireframe switched on by F3.
// At 0.25 s a frame pathTime grows by 0.01 a frame: the intro is over after frame 171.
const Moment moments[] = {
    {"intro-0.05.png", "pathtime-0.050.png"}, {"intro-0.30.png", "pathtime-0.300.png"},
    {"intro-0.58.png", "pathtime-0.580.png"}, {"intro-1.05.png", "pathtime-1.050.png"},
    {"free-flight.png", "frame-192.png"},     {"wireframe.png", "frame-195.png"},
};
const std::vector<std::string> captureArguments = {
    "capture", "--size",   "320x240", "--dt",   "0.25",       "--at-time", "0.05,0.3,0.58,1.05",
    "--key",   "W@172+20", "--key",   "F3@193", "--at-frame", "192,195"};

// DUSK_REFERENCE_DIR points elsewhere, for trying references out before they are committed.
std::string referenceFolder() {
    const char* chosen = std::getenv("DUSK_REFERENCE_DIR");
    if (chosen != nullptr && chosen[0] != '\0') {
        return chosen;
    }
    return std::string(DUSK_SOURCE_DIR) + "/tests/tools/bench/reference";
}

const std::string referenceDir = referenceFolder();

struct Comparison {
    bool sameSize = false;
    int differing = 0;
    int largest = 0;  // the largest channel difference
    Picture difference;
};

// The reference dimmed to grey, with every differing pixel in red (brighter the larger the
// difference), so that the changed region stands out.
Comparison compare(const Picture& captured, const Picture& reference) {
    Comparison result;
    result.sameSize = captured.width == reference.width && captured.height == reference.height;
    if (!result.sameSize) {
        return result;
    }
    result.difference = reference;
    for (int y = 0; y < reference.height; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            const std::uint8_t* a = captured.at(x, y);
            const std::uint8_t* b = reference.at(x, y);
            int off = 0;
            for (int c = 0; c < 3; ++c) {
                off = std::max(off, std::abs(a[c] - b[c]));
            }
            result.largest = std::max(result.largest, off);
            std::uint8_t* out =
                &result.difference.rgb[3 * (static_cast<size_t>(y) * reference.width + x)];
            if (off > channelTolerance) {
                ++result.differing;
                out[0] = static_cast<std::uint8_t>(128 + off / 2);
                out[1] = 0;
                out[2] = 0;
            } else {
                std::uint8_t grey = static_cast<std::uint8_t>((b[0] + b[1] + b[2]) / 9);
                out[0] = out[1] = out[2] = grey;
            }
        }
    }
    return result;
}

bool hasReferences() {
    if (!fs::is_directory(referenceDir)) {
        return false;
    }
    for (const auto& entry : fs::directory_iterator(referenceDir)) {
        if (entry.path().extension() == ".png") {
            return true;
        }
    }
    return false;
}

// Captures the moments with the real shaders, models and images at 320 x 240 and compares each
// with its reference. DUSK_UPDATE_REFERENCES=1 writes the captures as the new references
// instead (scripts/update-references.sh).
TEST(ImageRegressionE2ETest, CapturedMomentsMatchTheReferences) {
    const bool update = std::getenv("DUSK_UPDATE_REFERENCES") != nullptr &&
                        std::string(std::getenv("DUSK_UPDATE_REFERENCES")) == "1";
    if (!update && !hasReferences()) {
        GTEST_SKIP() << "no reference pictures in " << referenceDir
                     << " yet; scripts/update-references.sh makes them";
    }
    const std::string output = std::string(DUSK_TEST_OUTPUT_DIR) + "/image-regression";
    fs::remove_all(output);
    dusk::test::RunDirectory dir("image-regression/run", "320 240\n");
    std::vector<std::string> arguments = captureArguments;
    arguments.insert(arguments.end(), {"--run-dir", dir.path(), "--out", output + "/captured"});
    ToolResult result = runTool(arguments, output + "/tool");
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out.find("ERROR"), std::string::npos) << result.out;

    for (const Moment& moment : moments) {
        const std::string capturedPath = output + "/captured/" + moment.captured;
        Picture captured;
        ASSERT_TRUE(readPicture(capturedPath, &captured)) << capturedPath;
        const std::string referencePath = referenceDir + "/" + moment.reference;
        if (update) {
            fs::create_directories(referenceDir);
            fs::copy_file(capturedPath, referencePath, fs::copy_options::overwrite_existing);
            std::cout << "reference written: " << referencePath << std::endl;
            continue;
        }
        Picture reference;
        if (!readPicture(referencePath, &reference)) {
            ADD_FAILURE() << "no reference " << referencePath;
            continue;
        }
        Comparison comparison = compare(captured, reference);
        const int pixels = reference.width * reference.height;
        const bool matches =
            comparison.sameSize && comparison.differing <= static_cast<int>(allowedShare * pixels);
        if (matches) {
            continue;
        }
        // Keep the capture under the reference's name, with its difference picture beside it.
        const std::string stem = fs::path(moment.reference).stem().string();
        const std::string keptPath = output + "/" + stem + ".png";
        const std::string differencePath = output + "/" + stem + "-diff.png";
        fs::copy_file(capturedPath, keptPath, fs::copy_options::overwrite_existing);
        if (!comparison.sameSize) {
            ADD_FAILURE() << moment.reference << ": captured " << captured.width << "x"
                          << captured.height << ", reference " << reference.width << "x"
                          << reference.height << "; captured picture: " << keptPath;
            continue;
        }
        writePicture(comparison.difference, differencePath);
        ADD_FAILURE() << moment.reference << ": " << 100.0 * comparison.differing / pixels
                      << " % of the pixels differ by more than " << channelTolerance
                      << " (largest difference " << comparison.largest
                      << ")\n  captured:   " << keptPath << "\n  difference: " << differencePath
                      << "\n  reference:  " << referencePath
                      << "\n  (an intended change: scripts/update-references.sh)";
    }
}

}  // namespace
