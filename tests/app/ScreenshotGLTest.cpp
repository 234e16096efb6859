#include "app/Screenshot.h"
#include "support/BuildPaths.h"
#include "support/EndToEnd.h"
#include "support/GLContext.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <regex>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;
using ScreenshotGLTest = GLTest;

// Takes a screenshot of the test window; returns the line reported once it is written.
std::string screenshot(dusk::ScreenshotWriter& writer) {
    std::ostringstream out;
    std::streambuf* console = std::cout.rdbuf(out.rdbuf());
    writer.take(320, 240);
    waitUntil(
        [&] {
            writer.reportFinished();
            return !out.str().empty();
        },
        60.0, "the screenshot's line");
    std::cout.rdbuf(console);
    return out.str();
}

// A screenshot that cannot be made, where a file takes the folder's name or in a folder where
// not even root can make a file, is one line with the system's reason and leaves no file, and
// the next one is tried again.
TEST_F(ScreenshotGLTest, AFileThatCannotBeMadeGivesTheSystemsReasonAndNoFile) {
    fs::current_path(freshFolder("screenshot"));
    dusk::ScreenshotWriter writer;
    const std::string failed = "screenshot failed: screenshots/dusklorne-20[0-9]{6}-[0-9]{6}-";
    writeFile("./screenshots", "not a folder\n");
    const std::string underFile = screenshot(writer);
    EXPECT_TRUE(std::regex_match(underFile,
                                 std::regex(failed + "1\\.png: " + std::strerror(ENOTDIR) + "\n")))
        << underFile;
    EXPECT_EQ(readFile("screenshots"), "not a folder\n");

    // Immutable: ext4, XFS and btrfs, where CI and this machine build, take it.
    fs::remove("screenshots");
    fs::create_directory("screenshots");
    const bool closed = std::system("chattr +i screenshots 2>/dev/null") == 0;
    const std::string inClosed = screenshot(writer);
    std::system("chattr -i screenshots 2>/dev/null");  // a folder nothing can remove is in the way
    const bool empty = fs::is_empty("screenshots");
    fs::current_path(dusk::test::built::runDir());
    if (!closed) {
        GTEST_SKIP() << "chattr +i is refused here, by the file system or for want of the "
                        "capability, so no folder can be closed to root";
    }
    EXPECT_TRUE(
        std::regex_match(inClosed, std::regex(failed + "2\\.png: " + std::strerror(EPERM) + "\n")))
        << inClosed;
    EXPECT_TRUE(empty);
}

}  // namespace
