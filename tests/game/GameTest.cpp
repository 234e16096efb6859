#include "game/Game.h"

#include "app/Startup.h"

#include <gtest/gtest.h>

namespace {

TEST(GameTest, UnassembledGameHoldsTheInitialValues) {
    windowWidth = 1600;
    windowHeight = 900;
    Game game(nullptr, false);
    EXPECT_EQ(game.width, 1600);
    EXPECT_EQ(game.height, 900);
    EXPECT_EQ(game.window, nullptr);
    EXPECT_EQ(game.camera, nullptr);
    EXPECT_EQ(game.light, nullptr);
    EXPECT_EQ(game.castle, nullptr);
    EXPECT_EQ(game.ball, nullptr);
    EXPECT_EQ(game.ground, nullptr);
    EXPECT_EQ(game.skyBox, nullptr);
    EXPECT_EQ(game.sceneTarget, nullptr);
    EXPECT_EQ(game.screenQuad, nullptr);
    for (auto* system : game.particleSystems) {
        EXPECT_EQ(system, nullptr);
    }
    EXPECT_EQ(game.shadowFramebuffer, 0u);
    EXPECT_EQ(game.depthFramebuffer, 0u);
    EXPECT_TRUE(game.trees.empty());
    EXPECT_TRUE(game.shaders.empty());
    EXPECT_EQ(game.projection, glm::mat4(1.0f));
    EXPECT_EQ(game.viewProjection, glm::mat4(1.0f));
    EXPECT_FLOAT_EQ(game.pathTime, -0.1f);
    EXPECT_FLOAT_EQ(game.pathSpeed, 0.04f);
    EXPECT_FALSE(game.disableNormalMapping);
    EXPECT_FALSE(game.disableSpecularMapping);
    EXPECT_FALSE(game.cameraFrozen);
    EXPECT_FALSE(game.disableSoftParticles);
    EXPECT_TRUE(game.introRunning);
    ASSERT_EQ(game.firePositions.size(), 1u);
    EXPECT_EQ(game.firePositions[0], glm::vec3(9.0f, 35.0f, -3.0f));
}

TEST(GameTest, BallPathHoldsAllThirtyOnePointsWithTheirRepeats) {
    Game game(nullptr, false);
    ASSERT_EQ(game.ballPath.size(), 31u);
    EXPECT_EQ(game.ballPath[0], glm::vec3(-96.2405f, 5.84183f, 2.36629f));
    EXPECT_EQ(game.ballPath[13], glm::vec3(-144.0959f, -26.05801f, -10.4042f));
    EXPECT_EQ(game.ballPath[22], glm::vec3(-23.1478f, -38.98209f, 3.93961f));
    EXPECT_EQ(game.ballPath[30], glm::vec3(23.7951f, 31.1753f, -1.71746f));
    // The repeated pairs pull the curve and must stay.
    EXPECT_EQ(game.ballPath[3], game.ballPath[4]);
    EXPECT_EQ(game.ballPath[16], game.ballPath[17]);
    EXPECT_EQ(game.ballPath[29], game.ballPath[30]);
    for (size_t i = 0; i + 1 < game.ballPath.size(); ++i) {
        if (i != 3 && i != 16 && i != 29) {
            EXPECT_NE(game.ballPath[i], game.ballPath[i + 1]) << "at " << i;
        }
    }
}

TEST(GameTest, CameraPathIsASeparateCopyOfTheBallPath) {
    Game game(nullptr, false);
    EXPECT_EQ(game.cameraPath, game.ballPath);
    game.ballPath.clear();
    game.ballPath.push_back(glm::vec3(19.0f, 30.0f, 0.0f));
    EXPECT_EQ(game.cameraPath.size(), 31u);
    EXPECT_EQ(game.cameraPath[0], glm::vec3(-96.2405f, 5.84183f, 2.36629f));
}

}  // namespace
