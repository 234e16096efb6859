#include "support/TestScene.h"

namespace {

using StartupGLTest = dusk::test::SceneGLTest;

// What the start-up step prints as it assembles the scene, exactly as the player reads it.
TEST_F(StartupGLTest, TheLoadersNameEveryMapOfTheSceneInOrder) {
    const std::string plain = "Loaded Normal Texture: Model/Image/Default_NM.png\n"
                              "Loaded Specular Texture: Model/Image/Default_SM.png\n";
    EXPECT_EQ(startupOutput,
              "Loaded Texture: Model/Image/ground19.jpg\n"
              "Loaded Normal Texture: Model/Image/ground19n.jpg\n"
              "Loaded Specular Texture: Model/Image/ground19s.jpg\n"
              "Loaded Texture: Model/Image/skybox2.jpg\n" +
                  plain +
                  "Loaded Texture: Model/Image/stone11.jpg\n"
                  "Loaded Normal Texture: Model/Image/stone11n.jpg\n"
                  "Loaded Specular Texture: Model/Image/stone11s.jpg\n"
                  "Loaded Texture: Model/Image/est9.jpg\n" +
                  plain + "Loading Model: Tree 1\nLoaded Texture: Model/Image/tree1.png\n" + plain +
                  "Loading Model: Tree 3\nLoaded Texture: Model/Image/tree1.png\n" + plain);
}

}  // namespace
