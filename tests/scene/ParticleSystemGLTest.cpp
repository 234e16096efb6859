#include "scene/ParticleSystem.h"
#include "support/GLContext.h"

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

}  // namespace
