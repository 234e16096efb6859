#include "support/TestScene.h"

// What the start-up step prints as it assembles the demo's scene, exactly as the player reads it.
namespace {

using StartupGLTest = dusk::test::SceneGLTest;

TEST_F(StartupGLTest, TheLoadersNameEveryMapOfTheSceneInOrder) {
    std::string expected;
    for (const char* line : {
             "Loaded Texture: Model/Image/ground19.jpg",
             "Loaded Normal Texture: Model/Image/ground19n.jpg",
             "Loaded Specular Texture: Model/Image/ground19s.jpg",
             "Loaded Texture: Model/Image/skybox2.jpg",
             "Loaded Normal Texture: Model/Image/Default_NM.png",
             "Loaded Specular Texture: Model/Image/Default_SM.png",
             "Loaded Texture: Model/Image/stone11.jpg",
             "Loaded Normal Texture: Model/Image/stone11n.jpg",
             "Loaded Specular Texture: Model/Image/stone11s.jpg",
             "Loaded Texture: Model/Image/est9.jpg",
             "Loaded Normal Texture: Model/Image/Default_NM.png",
             "Loaded Specular Texture: Model/Image/Default_SM.png",
             "Loading Model: Tree 1",
             "Loaded Texture: Model/Image/tree1.png",
             "Loaded Normal Texture: Model/Image/Default_NM.png",
             "Loaded Specular Texture: Model/Image/Default_SM.png",
             "Loading Model: Tree 3",
             "Loaded Texture: Model/Image/tree1.png",
             "Loaded Normal Texture: Model/Image/Default_NM.png",
             "Loaded Specular Texture: Model/Image/Default_SM.png",
         }) {
        expected += std::string(line) + "\n";
    }
    EXPECT_EQ(startupOutput, expected);
}

}  // namespace
