#include "app/Screenshot.h"

#include "support/EndToEnd.h"
#include "support/GLContext.h"

#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

class ScreenshotGLTest : public dusk::test::GLTest {};

// Two F8s in a row: the second waits for the first, each gets its own number, line and file.
// (That the file holds the window's picture upright, the overlay's end-to-end test shows.)
TEST_F(ScreenshotGLTest, BackToBackScreenshotsAreNumberedAndWritten) {
    const std::string dir = dusk::test::freshFolder("screenshot-gl");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ostringstream output;
    std::streambuf* console = std::cout.rdbuf(output.rdbuf());
    {
        dusk::ScreenshotWriter writer;
        writer.take(320, 240);
        writer.take(320, 240);
    }  // the writer reports the last one as it goes
    std::cout.rdbuf(console);
    std::filesystem::current_path(previous);

    const std::vector<std::string> lines = dusk::test::linesOf(output.str());
    ASSERT_EQ(lines.size(), 2u) << output.str();
    for (int i = 0; i < 2; ++i) {
        // "screenshot saved: screenshots/dusklorne-YYYYMMDD-HHMMSS-N.png"
        const std::string head = "screenshot saved: screenshots/dusklorne-";
        const std::string tail = "-" + std::to_string(i + 1) + ".png";
        ASSERT_TRUE(lines[i].rfind(head, 0) == 0 &&
                    lines[i].size() == head.size() + 15 + tail.size() &&
                    lines[i].compare(lines[i].size() - tail.size(), tail.size(), tail) == 0)
            << lines[i];
        const dusk::test::Picture picture =
            dusk::test::readPicture(dir + "/" + lines[i].substr(head.find("screenshots/")));
        EXPECT_TRUE(picture.width == 320 && picture.height == 240) << lines[i];
    }
}

}  // namespace
