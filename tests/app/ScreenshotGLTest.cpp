#include "app/Screenshot.h"
#include "support/EndToEnd.h"
#include "support/GLContext.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <regex>

namespace {

using namespace dusk::test;
namespace fs = std::filesystem;

// Screenshots of the test window into a run directory of the test's own.
class ScreenshotGLTest : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        fs::current_path(freshFolder("screenshot"));
    }
    void TearDown() override {
        // Never leave a folder behind that nothing can remove.
        std::system("chattr -i screenshots 2>/dev/null");
        fs::current_path(DUSK_RUN_DIR);
        GLTest::TearDown();
    }

    // Takes a screenshot and returns the line the writer reports once it is written.
    std::string screenshot() {
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

    dusk::ScreenshotWriter writer;
};

// A screenshot that cannot be made, where a file takes the folder's name or in a folder where
// not even root can make a file, is one line with the system's reason and leaves no file; once
// the folder takes files again, the next one is saved.
TEST_F(ScreenshotGLTest, AFileThatCannotBeMadeGivesTheSystemsReasonAndNoFile) {
    const std::string name = "screenshots/dusklorne-20[0-9]{6}-[0-9]{6}-";
    writeFile("./screenshots", "not a folder\n");
    const std::string underFile = screenshot();
    EXPECT_TRUE(std::regex_match(underFile, std::regex("screenshot failed: " + name + "1\\.png: " +
                                                       std::strerror(ENOTDIR) + "\n")))
        << underFile;
    EXPECT_EQ(readFile("screenshots"), "not a folder\n");

    // Immutable: the file systems that CI and this machine use (ext4, XFS, btrfs) take it.
    fs::remove("screenshots");
    fs::create_directory("screenshots");
    if (std::system("chattr +i screenshots 2>/dev/null") != 0) {
        GTEST_SKIP() << "chattr +i is refused here, by the file system or for want of the "
                        "capability, so no folder can be closed to root";
    }
    const std::string immutable = screenshot();
    EXPECT_TRUE(std::regex_match(immutable, std::regex("screenshot failed: " + name +
                                                       "2\\.png: " + std::strerror(EPERM) + "\n")))
        << immutable;
    EXPECT_TRUE(fs::is_empty("screenshots"));

    std::system("chattr -i screenshots");
    const std::string saved = screenshot();
    std::smatch path;
    ASSERT_TRUE(
        std::regex_match(saved, path, std::regex("screenshot saved: (" + name + "3\\.png)\n")))
        << saved;
    EXPECT_EQ(readPicture(path[1]).width, 320);
}

}  // namespace
