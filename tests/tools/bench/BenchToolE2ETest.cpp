#include "support/BuildPaths.h"
#include "support/EndToEnd.h"
#include "tools/bench/BenchToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;
constexpr size_t none = std::string::npos;
using Csv = std::map<std::string, std::vector<double>>;

// A fresh run directory with the build's real shaders, models and images for each test.
class BenchToolE2ETest : public ::testing::Test {
protected:
    ToolResult run(std::vector<std::string> arguments, const std::string& scratch = "tool",
                   const std::vector<std::string>& environment = {}) {
        arguments.insert(arguments.begin() + 1, {"--run-dir", dir.path()});
        return runTool(arguments, dir.file(scratch), environment);
    }

    RunDirectory dir{"bench-tool"};
};

int countOf(const std::string& text, const std::string& line) {
    std::vector<std::string> lines = linesOf(text);
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// A CSV file with a header line after the comment lines, as the numbers of each column.
Csv readCsv(const std::string& path) {
    Csv columns;
    std::vector<std::string> names;
    for (const std::string& line : linesOf(readFile(path))) {
        const bool header = names.empty();
        std::istringstream fields(line);
        std::string field;
        for (size_t i = 0; line[0] != '#' && std::getline(fields, field, ','); ++i) {
            header ? names.push_back(field) : columns[names.at(i)].push_back(std::stod(field));
        }
    }
    return columns;
}

// Bad command lines end with exit code 2 before any frame, outputs that cannot be written
// with exit code 1 after the run; either way with one error line naming what failed, and no
// claim of it on standard output.
TEST_F(BenchToolE2ETest, FailuresGiveOneErrorLineNamingWhatFailed) {
    // No folder can be made under a file, no file where a folder is, and /dev/full takes no
    // bytes.
    const std::string underFile = dir.file("config.txt") + "/out";
    fs::create_directories(dir.file("pictures/frame-1.png"));
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{}, 2, "command"},
        {{"draw"}, 2, "draw"},
        {{"capture", "--size", "0x5", "--at-frame", "1", "--out", "x"}, 2, "--size"},
        {{"capture", "--dt", "1/0", "--at-frame", "1", "--out", "x"}, 2, "--dt"},
        {{"capture", "--at-time", "0.3"}, 2, "--out"},
        {{"capture", "--out", "x"}, 2, "--sheet"},
        {{"capture", "--floor", "--at-frame", "1", "--out", "x"}, 2, "--floor"},
        {{"capture", "--targets", "--sheet", "s.png"}, 2, "--targets"},
        {{"bench", "--key", "F3@1", "--key", "F13@4"}, 2, "F13@4"},
        // The X server keeps 16 bits of a size, a pbuffer has a limit of its own.
        {{"bench", "--size", "99999x99999"}, 2, "--size"},
        {{"bench", "--run-dir", dir.path(), "--headless", "--size", "32000x16"}, 2, "pbuffer"},
        {{"bench", "--timer", "cpu"}, 2, "--timer"},
        {{"bench", "--floor", "--timer", "gpu"}, 2, "--timer gpu"},
        {{"bench", "--frames", "2", "--csv", "/dev/full"}, 1, "'/dev/full'"},
        {{"bench", "--frames", "2", "--chart", underFile + "/c.png"}, 1, underFile + "/c.png'"},
        {{"capture", "--at-frame", "1", "--out", underFile}, 1, underFile + "'"},
        {{"capture", "--at-frame", "1", "--out", dir.file("pictures")},
         1,
         dir.file("pictures/frame-1.png'")},
        {{"capture", "--dt", "1", "--sheet-count", "2", "--sheet", "/dev/full"}, 1, "'/dev/full'"},
    };
    for (auto [arguments, exitCode, named] : cases) {
        if (exitCode == 1) {
            arguments.insert(arguments.end(), {"--run-dir", dir.path(), "--size", "64x48"});
        }
        ToolResult result = runTool(arguments, dir.file("tool"));
        EXPECT_EQ(result.exitCode, exitCode) << named;
        EXPECT_TRUE(linesOf(result.err).size() == 1 && result.err.find(named) != none)
            << result.err;
        EXPECT_EQ(result.out.find(named), none) << result.out;
    }
}

// The same options give the same bytes, in a window and without one: without a DISPLAY, or with
// --headless and a display that is not there (so a window would fail), the pictures come from a
// pbuffer on an EGL device. No PNG carries a time.
TEST_F(BenchToolE2ETest, HeadlessRunsNeedNoDisplayAndDrawTheWindowsBytes) {
    const std::tuple<std::string, std::vector<std::string>, std::vector<std::string>> runs[] = {
        {"window", {}, {}},
        {"no-display", {}, {"DISPLAY"}},
        {"headless", {"--headless"}, {"DISPLAY=:65535"}}};
    for (const auto& [name, extra, environment] : runs) {
        std::vector<std::string> arguments = {"capture", "--size",    "96x72",         "--dt",
                                              "1",       "--key",     "F3@5",          "--at-frame",
                                              "3,6",     "--targets", "--sheet-count", "4"};
        arguments.insert(arguments.end(),
                         {"--sheet", dir.file(name + "/sheet.png"), "--out", dir.file(name)});
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ToolResult result = run(arguments, name + "-tool", environment);
        ASSERT_EQ(result.exitCode, 0) << name << ": " << result.out << result.err;
        // The sheet spans the whole intro, so the explosion of pathTime 1.0 was on the way.
        EXPECT_EQ(countOf(result.out, "Expl"), 1) << result.out;
    }
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.file("window"))) {
        const std::string name = entry.path().filename(), bytes = readFile(entry.path());
        EXPECT_TRUE(bytes.find("tIME") == none && bytes.find("date:") == none) << name;
        for (const char* headless : {"no-display/", "headless/"}) {
            EXPECT_TRUE(bytes == readFile(dir.file(headless + name))) << headless << name;
        }
        files++;
    }
    EXPECT_EQ(files, 2 * 5 + 1);  // two frames with four targets each, and the sheet
}

TEST_F(BenchToolE2ETest, TargetsHoldWhatThePassesDrewAtTheGivenSize) {
    // A final pass that shows the scene target's colour on the left half of the window and its
    // alpha as grey on the right half (that the final picture is upright, the image regression
    // shows).
    fs::remove(dir.file("Dusklorne/Shader"));
    fs::copy(dusk::test::built::runDir() + "/Dusklorne/Shader", dir.file("Dusklorne/Shader"));
    writeFile(dir.file("Dusklorne/Shader/lensFlare.frag"), R"(#version 330 core
uniform sampler2D sceneTexture;
out vec4 fragColor;
void main() {
    vec4 scene = texelFetch(sceneTexture, ivec2(gl_FragCoord.xy), 0);
    fragColor = vec4(gl_FragCoord.x < 48.0 ? scene.rgb : scene.aaa, 1.0);
})");
    ToolResult result = run({"capture", "--size", "96x72", "--dt", "0.1", "--at-time", "0.05",
                             "--targets", "--out", dir.file("pictures")});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    std::map<std::string, Picture> pictures;
    for (const char* kind : {"", "-shadow", "-depth", "-scene", "-alpha"}) {
        pictures[kind] =
            readPicture(dir.file(std::string("pictures/pathtime-0.050") + kind + ".png"));
        // The option's size, not config.txt's.
        ASSERT_TRUE(pictures[kind].width == 96 && pictures[kind].height == 72) << kind;
    }
    Picture expected = pictures["-scene"];
    for (int y = 0; y < 72; ++y) {
        std::copy_n(pictures["-alpha"].at(48, y), 3 * 48, &expected.rgb[3 * (96 * y + 48)]);
    }
    EXPECT_TRUE(expected.rgb == pictures[""].rgb);
    // The camera depth marks the sky, where nothing was drawn, in blue; the ground is grey,
    // darker near the camera (bottom) than towards the horizon. The shadow map has shapes.
    const Picture& depth = pictures["-depth"];
    EXPECT_TRUE(depth.at(48, 0)[0] == 40 && depth.at(48, 0)[1] == 90 && depth.at(48, 0)[2] == 200);
    EXPECT_LT(depth.at(10, 71)[0], depth.at(10, 55)[0]);
    const std::vector<unsigned char>& shadow = pictures["-shadow"].rgb;
    EXPECT_LT(std::count(shadow.begin(), shadow.end(), shadow[3 * (48 + 96 * 36)]),
              static_cast<long>(shadow.size()) / 2);
}

TEST_F(BenchToolE2ETest, ScriptedKeysFollowTheDemosPollRule) {
    // At 1/16 s a frame the polls fall on every second frame (0.125 s > 0.1 s apart).
    ToolResult result = run({"capture", "--size", "64x48", "--dt", "1/16", "--key", "F2@4", "--key",
                             "F3@11", "--key", "F4@10+30", "--key", "ESC@39", "--at-frame", "40,41",
                             "--out", dir.file("pictures")});
    // F2 from the poll of frame 4 on: one frame-rate line per poll, frames 4, 6, ..., 40.
    EXPECT_EQ(countOf(result.out, "16 FPS / Frametime: 0.0625s"), 19) << result.out;
    // A tap at frame 11 waits for the poll of frame 12 and is seen once.
    EXPECT_EQ(countOf(result.out, "enable wireframe mode"), 1) << result.out;
    EXPECT_EQ(countOf(result.out, "disable wireframe mode"), 0) << result.out;
    // Held over frames 10 to 39: seen by the polls of frames 10, 12, ..., 38.
    EXPECT_EQ(countOf(result.out, "texture sampling bilinear"), 8) << result.out;
    EXPECT_EQ(countOf(result.out, "texture sampling nearest neighbour"), 7) << result.out;
    // ESC is seen by the poll of frame 40, which still runs to its end and is captured.
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(fs::exists(dir.file("pictures/frame-40.png")));
    EXPECT_EQ(result.err, "dusk_bench: frame 41 was never reached\n");
}

// The whole frame holds its parts (each rounded to 0.1 microseconds), none below 0.
void expectPartsWithinTheFrames(Csv& csv, size_t frames) {
    ASSERT_EQ(csv["frame"].size(), frames);
    for (size_t i = 0; i < frames; ++i) {
        double parts = 0.0;
        for (const char* part :
             {"update", "begin", "shadow", "depth", "scene", "particles", "final", "settings"}) {
            parts += csv[std::string(part) + "_ms"].at(i);
            EXPECT_GE(csv[std::string(part) + "_ms"][i], 0.0) << part << " of frame " << i + 1;
        }
        EXPECT_TRUE(csv["frame"][i] == i + 1.0 && csv["frame_ms"][i] + 0.001 >= parts) << i + 1;
    }
}

// A bench with its floor run, and one timed by the GPU timer from timestamps, headless and
// ended by ESC, report every frame and pass, each naming its setup in the summary and the CSV;
// both draw the frames a capture draws. With F5 the final pass reads the mipmaps that each
// frame builds from the frame before, so a frame also shows what the one before it left behind.
TEST_F(BenchToolE2ETest, BenchAndGpuTimerReportEveryFrameAndLeaveTheFramesAsTheyAre) {
    const std::tuple<std::string, std::vector<std::string>, std::string> runs[] = {
        {"finish",
         {"--floor", "--frames", "110", "--chart", dir.file("chart.png"), "--at-frame",
          "5,40,60,61,110", "--at-time", "0.2,0.05"},
         "mode: window"},
        {"gpu",
         {"--headless", "--timer", "gpu", "--key", "ESC@40", "--at-frame", "5,40"},
         "mode: headless"}};
    std::map<std::string, Csv> csv;
    for (const auto& [timer, extra, mode] : runs) {
        std::vector<std::string> arguments = {"bench", "--size", "160x120", "--dt",         "0.25",
                                              "--key", "F5@1",   "--out",   dir.file(timer)};
        arguments.insert(arguments.end(), {"--csv", dir.file(timer + ".csv")});
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        ToolResult result = run(arguments, timer + "-tool");
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_EQ(result.out.find("ERROR"), none) << result.out;
        const std::string setup = linesOf(readFile(dir.file(timer + ".csv"))).at(0);
        EXPECT_TRUE(setup.find(mode) != none && setup.find("; timer: " + timer) != none) << setup;
        EXPECT_NE(result.out.find("\n" + setup.substr(2) + "\n"), none) << result.out;
        csv[timer] = readCsv(dir.file(timer + ".csv"));
        if (timer == "finish") {
#ifdef __SANITIZE_ADDRESS__
            // The sanitizer's own operator new stays: nothing is counted.
            EXPECT_NE(result.out.find("heap allocations per frame: not counted"), none);
#else
            // The first frame builds the renderer's shader variants: the counter sees them.
            EXPECT_GT(csv[timer]["allocations"].at(0), 0.0);
            EXPECT_NE(result.out.find("heap allocations per frame after frame 100: mean"), none);
#endif
            // The summary's median and 95th percentile frame times are the CSV's: of 110
            // frames the mean of the 55th and 56th, and the 105th (95 % of them is 104.5).
            std::vector<double> times = csv[timer]["frame_ms"];
            std::sort(times.begin(), times.end());
            double row[4] = {};
            std::sscanf(result.out.c_str() + result.out.find("\n  frame "),
                        " frame %lf %lf %lf %lf", &row[0], &row[1], &row[2], &row[3]);
            EXPECT_NEAR(row[1], (times[54] + times[55]) / 2.0, 0.002) << result.out;
            EXPECT_NEAR(row[2], times[104], 0.002) << result.out;
        }
    }
    expectPartsWithinTheFrames(csv["finish"], 110);
    expectPartsWithinTheFrames(csv["gpu"], 40);
    const std::vector<double>& scene = csv["gpu"]["scene_ms"];
    EXPECT_GT(*std::max_element(scene.begin(), scene.end()), 0.0);
    // The same columns, but for the floor run's.
    for (const auto& [name, values] : csv["finish"]) {
        EXPECT_EQ(csv["gpu"].count(name), name.rfind("floor_", 0) == 0 ? 0u : 1u) << name;
    }

    // The frames captured without a floor run, with the targets read back after each, and the
    // first frames that reach the pathTimes by number: the benches drew and picked the same.
    std::vector<std::pair<std::string, std::string>> same = {
        {"finish/frame-60", "frame-60"},   {"finish/frame-61", "frame-61"},
        {"finish/frame-110", "frame-110"}, {"gpu/frame-5", "frame-5"},
        {"gpu/frame-40", "frame-40"},      {"finish/frame-5", "frame-5"},
        {"finish/frame-40", "frame-40"}};
    std::string frames = "5,40,60,61,110";
    for (const char* time : {"0.050", "0.200"}) {
        size_t frame = 1;
        while (static_cast<float>(csv["finish"]["pathTime"].at(frame - 1)) < std::stof(time)) {
            ++frame;
        }
        same.emplace_back(std::string("finish/pathtime-") + time, "frame-" + std::to_string(frame));
        frames += "," + std::to_string(frame);
    }
    ToolResult capture = run({"capture", "--size", "160x120", "--dt", "0.25", "--key", "F5@1",
                              "--at-frame", frames, "--targets", "--out", dir.file("capture")},
                             "capture-tool");
    ASSERT_EQ(capture.exitCode, 0) << capture.out << capture.err;
    for (const auto& [benched, captured] : same) {
        EXPECT_TRUE(readFile(dir.file(benched + ".png")) ==
                    readFile(dir.file("capture/" + captured + ".png")))
            << benched << " is not " << captured << " of the capture";
    }
}

// The devices command lists the software device here, numbered from 0; a device from the
// number of devices on is refused with exit code 2 before anything is drawn. With no EGL device
// at all, the list and a headless run end with one line and exit code 1.
TEST_F(BenchToolE2ETest, DevicesListTheSoftwareDeviceAndNoDeviceIsOneLine) {
    ToolResult listed = runTool({"devices"}, dir.file("devices"));
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    const std::vector<std::string> lines = linesOf(listed.out);
    int software = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].rfind(std::to_string(i) + ": ", 0), 0u) << listed.out;
        software += lines[i].find(": llvmpipe") != none && lines[i].find(", software") != none;
    }
    EXPECT_EQ(software, 1) << listed.out;
    for (size_t device : {lines.size(), lines.size() + 1, lines.size() + 100}) {
        ToolResult result = run({"bench", "--headless", "--device", std::to_string(device),
                                 "--frames", "1", "--csv", dir.file("refused.csv")},
                                "refused");
        EXPECT_EQ(result.exitCode, 2) << device;
        EXPECT_TRUE(linesOf(result.err).size() == 1 &&
                    result.err.find("--device " + std::to_string(device) + ": there ") != none)
            << result.err;
        EXPECT_FALSE(fs::exists(dir.file("refused.csv")));
    }
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"devices"},
          {"capture", "--headless", "--run-dir", dir.path(), "--at-frame", "1", "--out",
           dir.file("x")}}) {
        ToolResult result = runTool(arguments, dir.file("none"),
                                    {"__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json"});
        EXPECT_EQ(result.exitCode, 1) << arguments[0];
        EXPECT_EQ(result.err, "dusk_bench: no EGL device to render on without a display\n");
    }
}

// Where the scene is missing (the repository's root has shaders but no models), a run fails
// with one line pointing at --run-dir before it makes anything.
TEST_F(BenchToolE2ETest, ARunOutsideARunDirectoryMakesNothing) {
    const std::string elsewhere = dir.file("elsewhere");
    fs::create_directories(elsewhere + "/Dusklorne/Shader");
    for (const char* command : {"capture", "bench"}) {
        ToolResult result = runTool({command, "--run-dir", elsewhere, "--size", "64x48",
                                     "--at-frame", "1", "--out", "pictures"},
                                    dir.file(command));
        EXPECT_EQ(result.exitCode, 1) << command;
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(linesOf(result.err).size() == 1 && result.err.find("Model/Object") != none &&
                    result.err.find("--run-dir") != none)
            << result.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), fs::directory_iterator()), 1);
    }
}

}  // namespace
