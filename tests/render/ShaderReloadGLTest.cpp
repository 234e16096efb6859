#include "game/Game.h"
#include "render/ShaderProgram.h"
#include "support/BuildPaths.h"
#include "support/TestScene.h"

#include <array>
#include <filesystem>
#include <regex>

namespace {

namespace fs = std::filesystem;
using namespace dusk::test;

class ShaderReloadGLTest : public SceneGLTest {
protected:
    void SetUp() override {
        SceneGLTest::SetUp();
        // Files of the test's own to change: the run directory links the build's.
        fs::remove_all(runDirectory->file("Dusklorne/Shader"));
        fs::copy(dusk::test::built::runDir() + "/Dusklorne/Shader",
                 runDirectory->file("Dusklorne/Shader"));
    }
    std::string shader(const std::string& name) {
        return runDirectory->file("Dusklorne/Shader/" + name);
    }
    std::array<GLuint, 6> programs() {
        return {game->blinnPhongShader->program, game->skyShader->program,
                game->shadowMapShader->program,  game->depthShader->program,
                game->particleShader->program,   game->lensFlareShader->program};
    }
    // Reloads, and returns what it printed.
    std::string reload() {
        return printedBy([&] { game->reloadShaders(); });
    }
};

// A missing file, a compile error and a link error each leave all six programs as they were,
// print the file and the driver's log and make nothing that stays; a reload of good files
// replaces all six, deletes the old ones and gives the new ones what start-up gave once, so the
// frame is drawn as before; a hundred reloads leave as many objects as one.
TEST_F(ShaderReloadGLTest, ReplacesAllSixOnlyWhenAllBuildAndLeavesNothingBehind) {
    stillScene();
    // The per-frame inputs as the next frame's update gives them, here without moving anything.
    game->uploadFrameUniforms();
    const std::vector<unsigned char> before = redrawn();
    const std::array<GLuint, 6> original = programs();
    const int objects = liveGlObjects();

    const std::string sky = readFile(shader("sky.frag"));
    using Row = std::tuple<const char*, std::string, const char*>;  // file, text, failure line
    for (const auto& [file, text, line] :
         {Row{"sky.frag", sky + "\nnot GLSL\n",
              "shader reload failed: Dusklorne/Shader/sky.frag: 0:[0-9]+\\([0-9]+\\): error: .+"},
          Row{"lensFlare.frag", "",
              "shader reload failed: Dusklorne/Shader/lensFlare.frag: "
              "could not be read"},
          Row{"depth.frag", "#version 330 core\nvoid notMain() {}\n",
              "shader reload failed: Dusklorne/Shader/depth.vert \\+ "
              "Dusklorne/Shader/depth.frag: .*error.+"}}) {
        SCOPED_TRACE(file);
        const std::string kept = readFile(shader(file));
        text.empty() ? (void)fs::remove(shader(file)) : writeFile(shader(file), text);
        const std::string output = reload();
        EXPECT_TRUE(std::regex_match(output, std::regex(std::string(line) + "\n"))) << output;
        EXPECT_EQ(game->shaderReloadFailure + "\n", output);
        EXPECT_EQ(programs(), original);
        EXPECT_EQ(liveGlObjects(), objects);
        writeFile(shader(file), kept);
    }
    EXPECT_EQ(redrawn(), before);

    EXPECT_EQ(reload(), "reloaded shaders\n");
    game->uploadFrameUniforms();
    EXPECT_EQ(game->shaderReloadFailure, "");
    glUseProgram(0);  // a program in use lives on until it is not
    for (size_t i = 0; i < original.size(); ++i) {
        EXPECT_NE(programs()[i], original[i]) << i;
        EXPECT_FALSE(glIsProgram(original[i])) << i;
    }
    const GLuint lensFlare = game->lensFlareShader->program;
    GLint transparencyFlag = 0;
    glGetUniformiv(lensFlare, glGetUniformLocation(lensFlare, "transparencyFlag"),
                   &transparencyFlag);
    EXPECT_EQ(transparencyFlag, 1);
    EXPECT_EQ(redrawn(), before);
    EXPECT_EQ(liveGlObjects(), objects);

    for (int i = 0; i < 100; ++i) {
        reload();
    }
    glUseProgram(0);
    EXPECT_EQ(liveGlObjects(), objects);
}

}  // namespace
