#include "app/Screenshot.h"

#include "support/EndToEnd.h"
#include "support/GLContext.h"

#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

class ScreenshotGLTest : public dusk::test::GLTest {};

// Two F8s in a row: the second waits for the first, each gets its own number and line, and
// each file holds the back buffer upright (red drawn at the top, blue at the bottom).
TEST_F(ScreenshotGLTest, BackToBackScreenshotsAreUprightAndNumbered) {
    const std::string dir = dusk::test::freshFolder("screenshot-gl");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::ostringstream output;
    std::streambuf* console = std::cout.rdbuf(output.rdbuf());

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 320, 120);  // GL's rows start at the bottom
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 120, 320, 120);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    {
        dusk::ScreenshotWriter writer;
        writer.take(320, 240);
        writer.take(320, 240);
        dusk::test::waitUntil(
            [&] {
                writer.reportFinished();
                return dusk::test::linesOf(output.str()).size() == 2;
            },
            30.0);
    }
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
        ASSERT_TRUE(picture.width == 320 && picture.height == 240) << lines[i];
        EXPECT_EQ(std::vector<int>(picture.at(10, 10), picture.at(10, 10) + 3),
                  (std::vector<int>{255, 0, 0}));
        EXPECT_EQ(std::vector<int>(picture.at(10, 230), picture.at(10, 230) + 3),
                  (std::vector<int>{0, 0, 255}));
    }
}

}  // namespace
