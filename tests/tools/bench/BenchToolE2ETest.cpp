#include "tools/bench/BenchToolRun.h"
#include "tools/bench/StandInScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

using namespace dusk::test::bench;
namespace standin = dusk::test::standin;

// A fresh stand-in run directory and scratch folder for each test.
class BenchToolE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root = std::string(DUSK_TEST_OUTPUT_DIR) + "/bench-tool/" + name;
        std::filesystem::remove_all(root);
        runDir = root + "/run";
        standin::writeRunDirectory(runDir);
    }

    ToolResult run(std::vector<std::string> arguments, const std::string& scratch = "tool") {
        arguments.insert(arguments.begin() + 1, {"--run-dir", runDir});
        return runTool(arguments, root + "/" + scratch);
    }

    std::string root;
    std::string runDir;
};

struct CaptureLine {
    int frame;
    double pathTime;
    std::string path;
};

// The tool's "capture: frame N, pathTime T -> PATH" lines.
std::vector<CaptureLine> captureLines(const std::string& out) {
    std::vector<CaptureLine> lines;
    std::istringstream text(out);
    std::string line;
    const std::string arrow = " -> ";
    while (std::getline(text, line)) {
        CaptureLine capture{};
        size_t at = line.find(arrow);
        if (line.rfind("capture: frame ", 0) == 0 && at != std::string::npos &&
            std::sscanf(line.c_str(), "capture: frame %d, pathTime %lf", &capture.frame,
                        &capture.pathTime) == 2) {
            capture.path = line.substr(at + arrow.size());
            lines.push_back(capture);
        }
    }
    return lines;
}

// The numbers after the label of a summary line such as "  frame  1.0  2.0  3.0  4.0", for
// the first line whose label is `label`; empty if there is none.
std::vector<double> summaryFigures(const std::string& text, const std::string& label) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string first;
        if (line.rfind("  ", 0) != 0 || !(fields >> first) || first != label) {
            continue;
        }
        std::vector<double> figures;
        double value = 0.0;
        while (fields >> value) {
            figures.push_back(value);
        }
        return figures;
    }
    return {};
}

TEST_F(BenchToolE2ETest, BadCommandLinesGiveTheUsageAndExitCodeTwo) {
    struct Case {
        std::vector<std::string> arguments;
        std::string reason;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"draw"}, "unknown command 'draw'"},
        {{"capture", "--size", "0x5", "--at-frame", "1", "--out", "x"}, "bad value '0x5'"},
        {{"capture", "--dt", "0", "--at-frame", "1", "--out", "x"}, "bad value '0' for --dt"},
        {{"capture", "--at-time", "0.3"}, "need --out"},
        {{"capture", "--out", "x"}, "capture needs --at-time, --at-frame or --sheet"},
        {{"capture", "--floor", "--at-frame", "1", "--out", "x"}, "unknown option '--floor'"},
        {{"bench", "--key", "F13@4"}, "bad value 'F13@4' for --key"},
        {{"bench", "--key", "F3@0"}, "bad value 'F3@0' for --key"},
        {{"bench", "--frames"}, "--frames needs a value"},
    };
    for (const Case& each : cases) {
        ToolResult result = runTool(each.arguments, root + "/usage");
        std::string shown = each.arguments.empty() ? "(none)" : each.arguments[0];
        EXPECT_EQ(result.exitCode, 2) << shown;
        EXPECT_NE(result.err.find(each.reason), std::string::npos) << shown << ": " << result.err;
        EXPECT_NE(result.err.find("Usage: dusk_bench"), std::string::npos) << shown;
        EXPECT_TRUE(result.out.empty()) << shown << ": " << result.out;
    }
    ToolResult help = runTool({"help"}, root + "/usage");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: dusk_bench", 0), 0u) << help.out;
}

TEST_F(BenchToolE2ETest, PicturesShowTheWindowUprightInItsColoursAtTheGivenSize) {
    // Top half red, bottom left green, bottom right blue, in window coordinates (y up).
    standin::writeText(runDir + "/Dusklorne/Shader/lensFlare.frag", R"(#version 330 core
out vec4 color;
void main() {
    vec2 p = gl_FragCoord.xy;
    bool low = p.y < 24.0;
    color = vec4(low ? 0.0 : 1.0, low && p.x < 32.0 ? 1.0 : 0.0, low && p.x >= 32.0 ? 1.0 : 0.0, 0.0);
}
)");
    ToolResult result =
        run({"capture", "--size", "64x48", "--at-frame", "2", "--out", root + "/pictures"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    Picture picture;
    ASSERT_TRUE(readPicture(root + "/pictures/frame-2.png", &picture));
    ASSERT_EQ(picture.width, 64);  // the size option wins over config.txt's 320 x 240
    ASSERT_EQ(picture.height, 48);
    auto expectColour = [&](int x, int y, int r, int g, int b) {
        const std::uint8_t* pixel = picture.at(x, y);
        EXPECT_EQ(pixel[0], r) << x << "," << y;
        EXPECT_EQ(pixel[1], g) << x << "," << y;
        EXPECT_EQ(pixel[2], b) << x << "," << y;
    };
    expectColour(0, 0, 255, 0, 0);
    expectColour(63, 23, 255, 0, 0);
    expectColour(0, 24, 0, 255, 0);
    expectColour(31, 47, 0, 255, 0);
    expectColour(32, 24, 0, 0, 255);
    expectColour(63, 47, 0, 0, 255);
}

TEST_F(BenchToolE2ETest, TheSameOptionsGiveTheSameBytes) {
    const std::vector<std::string> options = {"capture", "--size",        "96x72", "--dt",
                                              "0.25",    "--at-time",     "0.3",   "--at-frame",
                                              "5",       "--sheet-count", "4",     "--sheet"};
    auto capture = [&](const std::string& folder) {
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(),
                         {root + "/" + folder + "/sheet.png", "--out", root + "/" + folder});
        return run(arguments, folder);
    };
    ToolResult first = capture("first");
    ToolResult second = capture("second");
    ASSERT_EQ(first.exitCode, 0) << first.out << first.err;
    ASSERT_EQ(second.exitCode, 0) << second.out << second.err;
    for (const char* file : {"pathtime-0.300.png", "frame-5.png", "sheet.png"}) {
        std::string a = readWholeFile(root + "/first/" + file);
        std::string b = readWholeFile(root + "/second/" + file);
        ASSERT_FALSE(a.empty()) << file;
        EXPECT_TRUE(a == b) << file << " differs between two runs";
        // No time chunk and no date text: the bytes must not depend on when the run was.
        EXPECT_EQ(a.find("tIME"), std::string::npos) << file;
        EXPECT_EQ(a.find("date:"), std::string::npos) << file;
    }
    // Different frames do give different pictures: the sameness above is not a blank window.
    EXPECT_FALSE(readWholeFile(root + "/first/frame-5.png") ==
                 readWholeFile(root + "/first/pathtime-0.300.png"));
}

TEST_F(BenchToolE2ETest, AtTimeTakesTheFirstFrameThatReachesIt) {
    const std::string csv = root + "/frames.csv";
    ToolResult result = run({"bench", "--size", "80x60", "--dt", "0.25", "--frames", "40",
                             "--at-time", "0.2,0.05", "--csv", csv, "--out", root + "/pictures"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    std::vector<CaptureLine> lines = captureLines(result.out);
    ASSERT_EQ(lines.size(), 2u) << result.out;
    auto rows = readCsv(csv);
    ASSERT_EQ(rows.size(), 40u);
    const double times[] = {0.05, 0.2};  // taken in time order, whatever the option's order
    for (size_t i = 0; i < 2; ++i) {
        const CaptureLine& line = lines[i];
        ASSERT_GE(line.frame, 2);
        ASSERT_LE(line.frame, 40);
        float reached = std::stof(rows[line.frame - 1]["pathTime"]);
        float before = std::stof(rows[line.frame - 2]["pathTime"]);
        EXPECT_GE(reached, static_cast<float>(times[i])) << "frame " << line.frame;
        EXPECT_LT(before, static_cast<float>(times[i])) << "frame " << line.frame;
        EXPECT_NEAR(line.pathTime, reached, 1e-4);
        EXPECT_TRUE(std::filesystem::exists(line.path)) << line.path;
    }
    EXPECT_EQ(lines[0].path, root + "/pictures/pathtime-0.050.png");
}

TEST_F(BenchToolE2ETest, ScriptedKeysFollowTheDemosPollRule) {
    // At 1/16 s a frame the polls fall on every second frame (0.125 s > 0.1 s apart).
    ToolResult result = run({"capture", "--size", "80x60", "--dt", "1/16", "--frames", "40",
                             "--key", "F2@4", "--key", "F3@11", "--key", "F4@10+30", "--at-frame",
                             "40", "--out", root + "/pictures"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    // F2 from the poll of frame 4 on: one frame-rate line per poll, frames 4, 6, ..., 40.
    EXPECT_EQ(countOf(result.out, "16 FPS / Frametime: 0.0625s"), 19) << result.out;
    // A tap at frame 11 waits for the poll of frame 12 and is seen once.
    EXPECT_EQ(countOf(result.out, "enable wireframe mode"), 1) << result.out;
    EXPECT_EQ(countOf(result.out, "disable wireframe mode"), 0) << result.out;
    // Held over frames 10 to 39: seen by the polls of frames 10, 12, ..., 38.
    EXPECT_EQ(countOf(result.out, "texture sampling bilinear"), 8) << result.out;
    EXPECT_EQ(countOf(result.out, "texture sampling nearest neighbour"), 7) << result.out;
}

TEST_F(BenchToolE2ETest, EscEndsTheRunAfterItsFrame) {
    ToolResult result = run({"capture", "--size", "80x60", "--dt", "1/16", "--key", "ESC@5",
                             "--at-frame", "6,12", "--out", root + "/pictures"});
    // ESC is seen by the poll of frame 6, which still runs to its end and is captured.
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::filesystem::exists(root + "/pictures/frame-6.png"));
    EXPECT_FALSE(std::filesystem::exists(root + "/pictures/frame-12.png"));
    EXPECT_NE(result.err.find("frame 12 was never reached"), std::string::npos) << result.err;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

TEST_F(BenchToolE2ETest, BenchReportsEveryFrameAndLeavesTheRealFramesAsTheyAre) {
    const std::string csv = root + "/frames.csv";
    const std::string chart = root + "/chart.png";
    ToolResult bench =
        run({"bench", "--size", "96x72", "--dt", "0.25", "--frames", "110", "--floor", "--csv", csv,
             "--chart", chart, "--at-frame", "60,110", "--out", root + "/bench"},
            "bench");
    ASSERT_EQ(bench.exitCode, 0) << bench.out << bench.err;
    EXPECT_EQ(bench.out.find("ERROR"), std::string::npos) << bench.out;
    EXPECT_NE(bench.out.find("GL errors: 0"), std::string::npos) << bench.out;

    // The floor frames in between change nothing the real frames show.
    ToolResult capture = run({"capture", "--size", "96x72", "--dt", "0.25", "--at-frame", "60,110",
                              "--out", root + "/capture"},
                             "capture");
    ASSERT_EQ(capture.exitCode, 0) << capture.out << capture.err;
    for (const char* file : {"frame-60.png", "frame-110.png"}) {
        std::string benched = readWholeFile(root + "/bench/" + file);
        ASSERT_FALSE(benched.empty()) << file;
        EXPECT_TRUE(benched == readWholeFile(root + "/capture/" + file))
            << file << ": the bench with its floor run drew another frame than the capture";
    }

    auto rows = readCsv(csv);
    ASSERT_EQ(rows.size(), 110u);
    std::vector<double> frameTimes;
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(std::stoi(rows[i]["frame"]), static_cast<int>(i) + 1);
        if (i > 0) {
            EXPECT_GT(std::stod(rows[i]["pathTime"]), std::stod(rows[i - 1]["pathTime"]));
        }
        for (const char* column :
             {"update_ms", "begin_ms", "shadow_ms", "depth_ms", "scene_ms", "particles_ms",
              "final_ms", "settings_ms", "floor_scene_ms", "floor_final_ms"}) {
            ASSERT_EQ(rows[i].count(column), 1u) << column;
            EXPECT_GE(std::stod(rows[i][column]), 0.0) << column;
        }
        double parts = std::stod(rows[i]["update_ms"]);
        for (const char* step : {"begin_ms", "shadow_ms", "depth_ms", "scene_ms", "particles_ms",
                                 "final_ms", "settings_ms"}) {
            parts += std::stod(rows[i][step]);
        }
        // The whole frame holds its parts (each rounded to 0.1 microseconds).
        EXPECT_GE(std::stod(rows[i]["frame_ms"]) + 0.001, parts) << "frame " << i + 1;
        frameTimes.push_back(std::stod(rows[i]["frame_ms"]));
    }
    // The first frame builds the renderer's shader variants: the counter sees allocations.
    EXPECT_GT(std::stod(rows[0]["allocations"]), 0.0);

    // The summary's median frame time is the CSV's.
    std::vector<double> frameFigures = summaryFigures(bench.out, "frame");
    ASSERT_EQ(frameFigures.size(), 4u) << bench.out;
    EXPECT_NEAR(frameFigures[1], median(frameTimes), 0.002);
    EXPECT_NE(bench.out.find("heap allocations per frame after frame 100: mean"), std::string::npos)
        << bench.out;
    // Real, floor and ratio for each of the seven render steps.
    size_t floorAt = bench.out.find("floor: the same frames");
    ASSERT_NE(floorAt, std::string::npos) << bench.out;
    const std::string floorTable = bench.out.substr(floorAt);
    for (const char* step :
         {"begin", "shadow", "depth", "scene", "particles", "final", "settings"}) {
        std::vector<double> figures = summaryFigures(floorTable, step);
        ASSERT_EQ(figures.size(), 3u) << step << "\n" << floorTable;
    }

    Picture chartPicture;
    EXPECT_TRUE(readPicture(chart, &chartPicture));
    EXPECT_GT(chartPicture.width, 0);
}

TEST_F(BenchToolE2ETest, ContactSheetRunsOverTheWholeIntro) {
    const std::string sheet = root + "/sheet.png";
    ToolResult result =
        run({"capture", "--size", "96x72", "--dt", "0.25", "--sheet", sheet, "--sheet-count", "6"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("contact sheet: 6 frames -> " + sheet), std::string::npos)
        << result.out;
    // The last tile is pathTime 1.6: the explosion of pathTime 1.0 was on the way.
    EXPECT_EQ(countOf(result.out, "Expl"), 1) << result.out;
    Picture picture;
    ASSERT_TRUE(readPicture(sheet, &picture));
    std::vector<std::uint8_t> first(picture.at(0, 0), picture.at(0, 0) + 3);
    bool varied = false;
    for (int y = 0; y < picture.height && !varied; ++y) {
        for (int x = 0; x < picture.width && !varied; ++x) {
            varied = !std::equal(first.begin(), first.end(), picture.at(x, y));
        }
    }
    EXPECT_TRUE(varied);
}

}  // namespace
