#include "app/Startup.h"
#include "assets/Model.h"
#include "render/RenderTarget.h"
#include "render/ShaderProgram.h"
#include "support/Files.h"
#include "support/GLContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>

// The generated trees drawn from the side by the demo's camera-depth program, which cuts the
// leaves out of their cards as every pass does, against an empty background.
namespace {

class TreeSilhouetteGLTest : public dusk::test::GLTest {
protected:
    static constexpr int size = 256;

    void SetUp() override {
        GLTest::SetUp();
        target = std::make_unique<RenderTarget>(size, size);
        program = std::make_unique<ShaderProgram>("Dusklorne/Shader/depth.vert",
                                                  "Dusklorne/Shader/depth.frag");
    }
    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &target->framebuffer);
        glDeleteTextures(1, &target->colorTexture);
        glDeleteTextures(1, &target->depthTexture);
        program->deleteObjects();
        glViewport(0, 0, windowWidth, windowHeight);
        GLTest::TearDown();
    }

    // Which pixels the model covers, seen level from `azimuth` (radians about the vertical)
    // through an orthographic camera 18 units wide and high, the foot at the bottom middle;
    // row 0 at the bottom.
    std::vector<bool> silhouette(Model& model, float azimuth) {
        glBindFramebuffer(GL_FRAMEBUFFER, target->framebuffer);
        glViewport(0, 0, size, size);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glUseProgram(program->program);
        const glm::vec3 eye(40.0f * std::sin(azimuth), 8.0f, 40.0f * std::cos(azimuth));
        const glm::mat4 view = glm::lookAt(eye, glm::vec3(0.0f, 8.0f, 0.0f), {0, 1, 0});
        const glm::mat4 projection = glm::ortho(-9.0f, 9.0f, -9.0f, 9.0f, 1.0f, 80.0f);
        auto set = [&](const char* name, const glm::mat4& m) {
            glUniformMatrix4fv(glGetUniformLocation(program->program, name), 1, GL_FALSE,
                               glm::value_ptr(m));
        };
        set("model", glm::mat4(1.0f));
        set("view", view);
        set("depth_view_proj", projection * view);
        glUniform1i(glGetUniformLocation(program->program, "color_texture"), 0);
        model.draw();
        const std::vector<unsigned char> rgba =
            dusk::test::readPixels(target->framebuffer, size, size);
        glDisable(GL_DEPTH_TEST);
        std::vector<bool> covered(size * size);
        for (int i = 0; i < size * size; ++i) {
            covered[i] = rgba[i * 4 + 3] > 128;
        }
        return covered;
    }

    std::unique_ptr<RenderTarget> target;  // the tree's picture: alpha 1 where something was drawn
    std::unique_ptr<ShaderProgram> program;
};

// The share of the pixels between the leftmost and the rightmost covered pixel of each row,
// rows `from` to `to` (fractions of the covered height from the bottom), that stays empty.
double emptyBetween(const std::vector<bool>& covered, int size, double from, double to) {
    int bottom = size, top = -1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (covered[y * size + x]) {
                bottom = std::min(bottom, y), top = std::max(top, y);
            }
        }
    }
    long span = 0, empty = 0;
    for (int y = bottom + int(from * (top - bottom)); y <= bottom + int(to * (top - bottom)); ++y) {
        int x0 = size, x1 = -1;
        for (int x = 0; x < size; ++x) {
            if (covered[y * size + x]) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
            }
        }
        for (int x = x0; x <= x1; ++x) {
            ++span;
            empty += !covered[y * size + x];
        }
    }
    return span > 0 ? double(empty) / span : 1.0;
}

// Seen level from four sides, the broadleaf's crown (its upper half) lets the sky through between
// its clumps but is no bare frame, and the fir's whorls close up into one dense cone.
TEST_F(TreeSilhouetteGLTest, BroadleafCrownsOpenBetweenClumpsFirsAreDense) {
    // Model, rows measured (fractions of the height), range of the empty share, what it shows.
    const std::tuple<const char*, double, double, double, double, const char*> trees[] = {
        {"Model/Object/tree1.obj", 0.5, 1.0, 0.1, 0.3, "sky between the crown's clumps"},
        {"Model/Object/tree3.obj", 0.15, 0.85, 0.0, 0.12, "a fir dense enough to read from afar"}};
    for (auto [file, from, to, low, high, what] : trees) {
        Model model;
        bool loaded = false;
        dusk::test::printedBy(
            [&, file = file] { loaded = model.load(file, "Model/Image/tree1.png", "", ""); });
        ASSERT_TRUE(loaded) << file;
        for (float azimuth : {0.0f, 1.6f, 3.1f, 4.7f}) {
            const double empty = emptyBetween(silhouette(model, azimuth), size, from, to);
            EXPECT_TRUE(empty >= low && empty <= high)
                << file << " from " << azimuth << ": " << what << " (" << empty << " empty)";
        }
    }
}

}  // namespace
