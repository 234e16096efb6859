#include "app/Screenshot.h"

#include "assets/Texture.h"
#include "support/EndToEnd.h"
#include "support/GLContext.h"

#include <Magick++.h>

#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

class ScreenshotGLTest : public dusk::test::GLTest {};

// Two F8s in a row: the second waits for the first, each gets its own number and line, and
// each file holds the back buffer upright (red drawn at the top, blue at the bottom).
TEST_F(ScreenshotGLTest, BackToBackScreenshotsAreUprightAndNumbered) {
    const std::string dir = dusk::test::freshFolder("screenshot-gl");
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
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
    ASSERT_EQ(chdir(previous), 0);

    const std::vector<std::string> lines = dusk::test::linesOf(output.str());
    ASSERT_EQ(lines.size(), 2u) << output.str();
    dusk::initializeImageLibrary();
    for (int i = 0; i < 2; ++i) {
        // "screenshot saved: screenshots/dusklorne-YYYYMMDD-HHMMSS-N.png"
        const std::string said = "screenshot saved: ";
        const std::string path = lines[i].substr(std::min(said.size(), lines[i].size()));
        const std::string prefix = "screenshots/dusklorne-";
        const std::string suffix = "-" + std::to_string(i + 1) + ".png";
        ASSERT_TRUE(lines[i].rfind(said, 0) == 0 && path.rfind(prefix, 0) == 0 &&
                    path.size() == prefix.size() + 15 + suffix.size() &&
                    path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0 &&
                    path[prefix.size() + 8] == '-')
            << lines[i];
        Magick::Image image(dir + "/" + path);
        ASSERT_EQ(image.columns(), 320u);
        ASSERT_EQ(image.rows(), 240u);
        Magick::Blob rgb;
        image.write(&rgb, "RGB", 8);
        const auto* bytes = static_cast<const unsigned char*>(rgb.data());
        const unsigned char* top = bytes + 3 * (10 * 320 + 10);
        const unsigned char* bottom = bytes + 3 * (230 * 320 + 10);
        EXPECT_EQ(std::vector<int>(top, top + 3), (std::vector<int>{255, 0, 0})) << lines[i];
        EXPECT_EQ(std::vector<int>(bottom, bottom + 3), (std::vector<int>{0, 0, 255})) << lines[i];
    }
}

}  // namespace
