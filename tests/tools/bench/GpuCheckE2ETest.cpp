#include "tools/bench/BenchToolRun.h"
#include "support/BuildPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sys/wait.h>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;
constexpr size_t none = std::string::npos;

// The exit code of a shell command.
int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// The GPU check's bundle, built from this build in the quick mode and unpacked elsewhere, runs
// in a clean environment: only PATH, no display, and, where a mount namespace can be had, with
// the system's ImageMagick modules and configuration and its fonts hidden, so that all of them
// must come from the bundle. One of its software pictures is swapped for another moment's: that
// comparison fails, the others pass on the same renderer, and the check says so.
TEST(GpuCheckE2ETest, TheBundleRunsHeadlessInACleanEnvironmentAndReports) {
    const std::string dir = freshFolder("gpu-check");
    const std::string build =
        fs::path(dusk::test::built::benchBinary()).parent_path().parent_path().parent_path();
    ASSERT_EQ(shell("env -u DISPLAY DUSK_BUILD_DIR='" + build +
                    "' DUSK_BUNDLE_BUILD=0 DUSK_CHECK_QUICK=1 '" + dusk::test::built::sourceDir() +
                    "/scripts/gpu-bundle.sh' '" + dir + "/bundle' >'" + dir + "/bundle.log' 2>&1"),
              0)
        << readFile(dir + "/bundle.log");
    ASSERT_EQ(shell("mkdir '" + dir + "/unpacked' && tar -xzf '" + dir + "/bundle.tar.gz' -C '" +
                    dir + "/unpacked'"),
              0);
    const std::string bundle = dir + "/unpacked/bundle", out = dir + "/out";
    fs::copy_file(bundle + "/reference/pathtime-0.300.png",
                  bundle + "/reference/pathtime-0.050.png", fs::copy_options::overwrite_existing);

    fs::create_directories(dir + "/empty");
    const std::string check =
        "env -i PATH=/usr/bin:/bin DUSK_CHECK_QUICK=1 '" + bundle + "/gpu-check.sh' '" + out + "'";
    writeFile(dir + "/hidden.sh",
              "for d in /usr/share/fonts /etc/ImageMagick-6 /usr/share/ImageMagick-6 "
              "/usr/lib/x86_64-linux-gnu/ImageMagick-*; do mount --bind '" +
                  dir + "/empty' \"$d\" || exit 99; done\nexec " + check + "\n");
    const bool isolated = shell("unshare -m true 2>/dev/null") == 0;
    const std::string log = " >'" + dir + "/check.log' 2>&1";
    EXPECT_EQ(shell((isolated ? "unshare -m sh '" + dir + "/hidden.sh'" : check) + log), 1)
        << readFile(dir + "/check.log");

    const std::string report = readFile(out + "/report.txt");
    EXPECT_NE(report.find("\nrenderer: Mesa"), none) << report;
    EXPECT_NE(report.find("; mode: headless, EGL device 0; timer: gpu"), none) << report;
    for (const std::string size : {"160x90", "320x180"}) {
        std::smatch figures;
        const std::regex line(size +
                              ": frame median ([0-9.]+) ms \\([0-9.]+ FPS\\), 95th "
                              "percentile ([0-9.]+) ms \\([0-9.]+ FPS\\)\n  medians \\(ms\\):"
                              " update [0-9.]+ begin [0-9.]+ shadow [0-9.]+ depth [0-9.]+ "
                              "scene [0-9.]+ particles [0-9.]+ final [0-9.]+ settings");
        ASSERT_TRUE(std::regex_search(report, figures, line)) << size << "\n" << report;
        EXPECT_TRUE(std::stod(figures[1]) > 0.0 && std::stod(figures[2]) >= std::stod(figures[1]));
        const std::string csv = readFile(out + "/bench-" + size + ".csv");  // a line a frame
        EXPECT_TRUE(csv.find("\n30,") != none && csv.find("\n31,") == none) << size;
        EXPECT_GT(readPicture(out + "/bench-" + size + ".png").width, 0) << size;
    }
    for (const char* moment :
         {"frame-192", "pathtime-0.300", "pathtime-0.580", "pathtime-0.696", "pathtime-1.050"}) {
        const std::string pass = ": 0.000 % of the pixels differ by more than 16 levels (pass: at "
                                 "most 2 %): pass\n";
        EXPECT_NE(report.find("\n  " + std::string(moment) + pass), none) << moment << report;
        EXPECT_EQ(readPicture(out + "/compare/" + moment + ".png").width, 3 * 160) << moment;
    }
    EXPECT_TRUE(report.find("\n  pathtime-0.050: ") != none && report.find("%): fail\n") != none &&
                report.find("; FAILED\n") != none)
        << report;
}

}  // namespace
