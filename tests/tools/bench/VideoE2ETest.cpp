#include "tools/bench/BenchToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;
constexpr size_t none = std::string::npos;

// The whole intro at 3 fps: once on a terminal, which shows the progress in place, once into
// files, which get the last line only; both decode to the same frames, and frame 6 of the video
// is the picture of frame 6, upright. The intro's 42.5 s (pathTime -0.1 to 1.6 at 0.04 a second)
// take 128 frames at 3 fps (the last at pathTime 1.5933), so the video plays 42.667 s at 3/1.
TEST(VideoE2ETest, TheIntroFrameByFrameTheSameOnEveryRun) {
    RunDirectory dir("video");
    const std::vector<std::string> options = {
        "capture", "--run-dir", dir.path(),          "--size", "96x54", "--fps", "3", "--at-frame",
        "6",       "--out",     dir.file("pictures")};
    const std::string first = dir.file("first.mp4"), second = dir.file("second.mp4");
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"--video", first});
    const std::string terminal =
        outputOf("script -qec \"" + commandLine(arguments) + " >/dev/null\" /dev/null");
    EXPECT_NE(terminal.find("\rvideo: frame 128 of 128, "), none) << terminal;

    arguments = options;
    arguments.insert(arguments.end(), {"--video", second});
    ToolResult result = runTool(arguments, dir.file("tool"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const size_t line = result.out.find("video: 128 frames, 96x54 at 3 fps -> " + second);
    EXPECT_TRUE(line != none && line == result.out.find("video:")) << result.out;

    EXPECT_EQ(outputOf("ffprobe -v error -show_entries stream=codec_name,pix_fmt,r_frame_rate,"
                       "avg_frame_rate,duration,nb_frames -of csv=p=0 " +
                       second),
              "h264,yuv420p,3/1,3/1,42.666667,128\n");
    const std::string frames = outputOf("ffmpeg -v error -i " + first + " -f framemd5 -");
    EXPECT_EQ(frames, outputOf("ffmpeg -v error -i " + second + " -f framemd5 -"));

    const std::string decoded = dir.file("decoded-6.png");
    outputOf("ffmpeg -v error -i " + second + " -vf 'select=eq(n\\,5)' -frames:v 1 " + decoded);
    // yuv420p halves the colour resolution: edges differ a little, an upside-down frame a lot.
    EXPECT_LT(changedShare(readPicture(decoded), readPicture(dir.file("pictures/frame-6.png")), 60),
              0.05);
}

// Bad options end with exit code 2 before any frame; no encoder, an unwritable path or an
// encoder that fails with exit code 1; each with one error line, no claim of a video, and no
// file under the name asked for or the hidden one beside it.
TEST(VideoE2ETest, FailuresGiveOneLineAndLeaveNoFile) {
    RunDirectory dir("video");
    const std::string noX264 = dir.file("no-x264"), broken = dir.file("broken");
    writeFile(noX264 + "/ffmpeg", "#!/bin/sh\necho ' V....D libx265  H.265 / HEVC'\n");
    writeFile(broken + "/ffmpeg", "#!/bin/sh\ncase \"$*\" in *-encoders*) "
                                  "echo ' V....D libx264  H.264';; *) exit 1;; esac\n");
    // Each search path holds grep, which the encoder check runs, and the ffmpeg of its case.
    const std::string noFfmpeg = dir.file("no-ffmpeg");
    for (const std::string& fake : {noX264, broken, noFfmpeg}) {
        fs::create_directories(fake);
        fs::create_symlink("/bin/grep", fake + "/grep");
    }
    fs::permissions(noX264 + "/ffmpeg", fs::perms::owner_all);
    fs::permissions(broken + "/ffmpeg", fs::perms::owner_all);
    const std::string video = dir.file("v.mp4"), underFile = dir.file("config.txt") + "/v.mp4";
    const std::string path = std::getenv("PATH");
    const std::tuple<std::vector<std::string>, std::string, int, std::string> cases[] = {
        {{"--video", video, "--fps", "0"}, path, 2, "--fps"},
        {{"--video", video, "--size", "97x54"}, path, 2, "--size"},
        {{"--video", video, "--dt", "0.1"}, path, 2, "--dt"},
        {{"--video", video, "--size", "64x48"}, noFfmpeg, 1, "ffmpeg"},
        {{"--video", video, "--size", "64x48"}, noX264, 1, "libx264"},
        {{"--video", video, "--size", "64x48"}, broken, 1, "'" + video + "': ffmpeg failed"},
        {{"--video", underFile, "--size", "64x48"}, path, 1, "'" + underFile + "'"},
    };
    for (auto [extra, searchPath, exitCode, named] : cases) {
        std::vector<std::string> arguments = {"capture", "--run-dir", dir.path(), "--frames", "2"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ToolResult result = runTool(arguments, dir.file("tool"), {"PATH=" + searchPath});
        EXPECT_EQ(result.exitCode, exitCode) << named;
        EXPECT_TRUE(linesOf(result.err).size() == 1 && result.err.find(named) != none)
            << result.err;
        EXPECT_EQ(result.out.find("video:"), none) << result.out;
        EXPECT_FALSE(fs::exists(video) || fs::exists(dir.file(".v.mp4.part"))) << named;
    }
}

}  // namespace
