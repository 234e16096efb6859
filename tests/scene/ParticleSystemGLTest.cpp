#include "render/ShaderProgram.h"
#include "scene/ParticleSystem.h"
#include "support/GLContext.h"

#include <algorithm>

namespace {

using ParticleSystemGLTest = dusk::test::GLTest;

// The explosion steps through its atlas once per 33 ms of frame time at any frame rate: never
// twice in a frame, never in a frame without time, and it is over after 64 x 33 ms.
TEST_F(ParticleSystemGLTest, AtlasStepsOncePer33MillisecondsAtAnyFrameRate) {
    struct Case {
        float frameTime;
        std::vector<int> firstSteps;  // frames counted from 1
    };
    for (const Case& c :
         {Case{1.0f / 60.0f, {1, 2, 4, 6, 8}}, Case{0.01f, {1, 4, 7, 10, 14}},
          Case{0.0005f, {1, 66, 132}}, Case{0.0009f, {1, 37, 74}}, Case{0.0f, {}}}) {
        SCOPED_TRACE(c.frameTime);
        dusk::scene::ParticleSystem system(glm::vec3(0.0f), 0, 5.0f, 1.0f, 1.0f, 1, true,
                                           "Model/Image/fire_atlas.png");
        std::vector<int> steps;
        double elapsed = 0.0;
        for (int frame = 1; !system.finished && frame <= 10000; ++frame) {
            const int before = system.atlasFrame;
            system.update(glm::vec3(0.0f), glm::mat4(1.0f), glm::vec3(0.0f), glm::mat4(1.0f),
                          c.frameTime);
            elapsed += c.frameTime * 1000.0;
            ASSERT_LE(system.atlasFrame, before + 1) << "frame " << frame;
            if (system.atlasFrame > before && steps.size() < c.firstSteps.size()) {
                steps.push_back(frame);
            }
        }
        EXPECT_EQ(steps, c.firstSteps);
        EXPECT_EQ(system.finished, c.frameTime > 0.0f);
        if (system.finished) {
            EXPECT_GE(elapsed, 64 * 33.0);
            EXPECT_LT(elapsed, 64 * 33.0 + c.frameTime * 1000.0);
        }
    }
}

// Blending composes back to front only: each sprite is drawn after every one farther from the
// camera, wherever the camera is (the mist and the glow over it).
TEST_F(ParticleSystemGLTest, SpritesAreDrawnFarthestFirst) {
    ShaderProgram program("Dusklorne/Shader/particlesShader.vert",
                          "Dusklorne/Shader/particlesShader.frag");
    dusk::scene::ParticleSystem system(glm::vec3(0.0f, 5.0f, 0.0f), 47, 20.0f, 0.05f, 0.1f, 450,
                                       false, "Model/Image/nebular.png");
    system.shader = &program;
    for (glm::vec3 eye : {glm::vec3(-75, 6, 6), glm::vec3(0, 5, 0), glm::vec3(30, 60, -200)}) {
        SCOPED_TRACE(eye.x);
        system.update(glm::vec3(0.0f, 5.0f, 0.0f), glm::mat4(1.0f), eye, glm::mat4(1.0f), 0.1f);
        glUseProgram(program.program);
        system.draw(false, false);
        std::vector<glm::vec4> drawn(450);
        glBindBuffer(GL_ARRAY_BUFFER, system.positionSizeBuffer);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, 450 * sizeof(glm::vec4), drawn.data());
        auto nearer = [&](glm::vec4 a, glm::vec4 b) {
            return glm::distance(glm::vec3(a), eye) < glm::distance(glm::vec3(b), eye) - 1e-3f;
        };
        EXPECT_TRUE(std::is_sorted(drawn.rbegin(), drawn.rend(), nearer));
        EXPECT_GT(glm::distance(glm::vec3(drawn.front()), eye),
                  glm::distance(glm::vec3(drawn.back()), eye) + 10.0f);
    }
}

}  // namespace
