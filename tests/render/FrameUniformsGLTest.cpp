#include "game/Game.h"

#include "app/DebugKeysScriptedInput.h"
#include "app/Startup.h"
#include "render/ShaderProgram.h"
#include "scene/Camera.h"
#include "scene/Object.h"
#include "support/GLContext.h"
#include "support/TestScene.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <memory>
#include <string>
#include <vector>

namespace {

using dusk::scene::positionOf;

// Declares every per-frame input and keeps them all alive.
const char* const listenerVertex = R"(#version 330 core
uniform mat4 view_proj;
uniform mat4 view;
uniform int pLightCount;
uniform vec3 pLightPos;
uniform int disableNormalMapping;
uniform int disableSpecularMapping;
uniform vec3 fog_color;
void main() {
    gl_Position = view_proj * view * vec4(pLightPos + fog_color, float(pLightCount)) +
                  vec4(float(disableNormalMapping + disableSpecularMapping));
}
)";

const char* const listenerFragment = R"(#version 330 core
out vec4 color;
void main() { color = vec4(1.0); }
)";

// What one program holds of the per-frame inputs.
struct FrameInputs {
    glm::mat4 viewProjection{-1.0f};
    glm::mat4 view{-1.0f};
    GLint pointLightCount = -1;
    glm::vec3 pointLightPosition{-1.0f};
    GLint disableNormalMapping = -1;
    GLint disableSpecularMapping = -1;
    glm::vec3 fogColor{-1.0f};
};

FrameInputs inputsOf(const ShaderProgram* shader) {
    GLuint program = shader->program;
    auto location = [&](const char* name) {
        GLint found = glGetUniformLocation(program, name);
        EXPECT_NE(found, -1) << name << " is not active in program " << program;
        return found;
    };
    FrameInputs inputs;
    glGetUniformfv(program, location("view_proj"), glm::value_ptr(inputs.viewProjection));
    glGetUniformfv(program, location("view"), glm::value_ptr(inputs.view));
    glGetUniformiv(program, location("pLightCount"), &inputs.pointLightCount);
    glGetUniformfv(program, location("pLightPos"), &inputs.pointLightPosition.x);
    glGetUniformiv(program, location("disableNormalMapping"), &inputs.disableNormalMapping);
    glGetUniformiv(program, location("disableSpecularMapping"), &inputs.disableSpecularMapping);
    glGetUniformfv(program, location("fog_color"), &inputs.fogColor.x);
    return inputs;
}

// The point light beside the ball: the offsets added in double, then narrowed.
glm::vec3 pointLightBeside(const glm::vec3& ball) {
    return {static_cast<float>(static_cast<double>(ball.x) + 0.6),
            static_cast<float>(static_cast<double>(ball.y) + 0.8), ball.z};
}

glm::mat4 perspectiveFor(int width, int height) {
    return glm::perspective(glm::radians(60.0f),
                            static_cast<float>(width) / static_cast<float>(height), 0.1f, 1000.0f);
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, const char* what) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5f * (1.0f + std::fabs(expected[c][r])))
                << what << " [" << c << "][" << r << "]";
        }
    }
}

class FrameUniformsGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::setInput(&keys);
        scene =
            std::make_unique<dusk::test::TestScene>(window, dusk::test::freshTestFolder("render"));
        game = scene->game;
    }
    void TearDown() override {
        dusk::test::restoreDefaultGlState();
        dusk::setInput(nullptr);
        GLTest::TearDown();
    }

    void placeBall(const glm::vec3& position) {
        game->ball->setModelMatrix(glm::translate(glm::mat4(1.0f), position));
    }

    dusk::test::ScriptedKeys keys;
    std::unique_ptr<dusk::test::TestScene> scene;
    Game* game = nullptr;
};

TEST_F(FrameUniformsGLTest, EveryListedProgramReceivesTheCameraLightSwitchesAndFog) {
    // A wide window, and a later change of the configured size that must not count.
    game->width = 1600;
    game->height = 900;
    const int savedWidth = windowWidth;
    windowWidth = 300;
    game->camera->setPositionAndTarget(glm::vec3(3.0f, 4.0f, 20.0f), glm::vec3(-1.0f, 0.5f, 0.0f));
    const glm::vec3 ball(-7.3f, 12.9f, 4.1f);
    placeBall(ball);
    game->disableNormalMapping = true;
    game->disableSpecularMapping = false;

    // A program outside the list is left alone.
    std::unique_ptr<ShaderProgram> outsider(
        dusk::test::buildTestProgram(scene->folder, "outsider", listenerVertex, listenerFragment));
    game->particleShader = outsider.get();

    game->uploadFrameUniforms();
    windowWidth = savedWidth;

    const glm::mat4 projection = perspectiveFor(1600, 900);
    EXPECT_NEAR(game->projection[1][1] / game->projection[0][0], 1.7777778f, 1e-6f);
    expectMatrixNear(game->projection, projection, "projection");
    const glm::mat4 view = game->camera->getViewMatrix();
    expectMatrixNear(game->viewProjection, projection * view, "viewProjection");

    ASSERT_EQ(game->shaders.size(), 5u);
    for (ShaderProgram* program : game->shaders) {
        SCOPED_TRACE("program " + std::to_string(program->program));
        FrameInputs inputs = inputsOf(program);
        EXPECT_EQ(inputs.viewProjection, game->viewProjection);
        EXPECT_EQ(inputs.view, view);
        EXPECT_EQ(inputs.pointLightCount, 1);
        EXPECT_EQ(inputs.pointLightPosition, pointLightBeside(ball));
        EXPECT_EQ(inputs.disableNormalMapping, 1);
        EXPECT_EQ(inputs.disableSpecularMapping, 0);
        EXPECT_EQ(inputs.fogColor, glm::vec3(0.8f));
    }
    FrameInputs untouched = inputsOf(outsider.get());
    EXPECT_EQ(untouched.viewProjection, glm::mat4(0.0f));
    EXPECT_EQ(untouched.pointLightCount, 0);
    EXPECT_EQ(untouched.fogColor, glm::vec3(0.0f));

    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), game->shaders.back()->program);
}

TEST_F(FrameUniformsGLTest, TheSwitchesFollowTheFlagsBothWays) {
    struct Flags {
        bool normal;
        bool specular;
    };
    for (Flags flags :
         {Flags{true, false}, Flags{true, true}, Flags{false, true}, Flags{false, false}}) {
        game->disableNormalMapping = flags.normal;
        game->disableSpecularMapping = flags.specular;
        game->uploadFrameUniforms();
        for (ShaderProgram* program : game->shaders) {
            FrameInputs inputs = inputsOf(program);
            EXPECT_EQ(inputs.disableNormalMapping, flags.normal ? 1 : 0) << program->program;
            EXPECT_EQ(inputs.disableSpecularMapping, flags.specular ? 1 : 0) << program->program;
        }
    }
}

// The offsets are added in double: for some positions that differs from adding them in float.
TEST_F(FrameUniformsGLTest, PointLightOffsetsAreAddedInDouble) {
    glm::vec3 ball(0.0f);
    bool found = false;
    for (int k = 1; k < 10000 && !found; ++k) {
        float x = 0.37f * static_cast<float>(k);
        float y = -0.53f * static_cast<float>(k);
        found = pointLightBeside({x, y, 0.0f}) != glm::vec3(x + 0.6f, y + 0.8f, 0.0f);
        ball = glm::vec3(x, y, 1.5f);
    }
    ASSERT_TRUE(found);
    placeBall(ball);
    game->uploadFrameUniforms();
    for (ShaderProgram* program : game->shaders) {
        EXPECT_EQ(inputsOf(program).pointLightPosition, pointLightBeside(ball)) << program->program;
    }
}

// The update hands the inputs over before it moves the ball: the light trails it by a frame.
TEST_F(FrameUniformsGLTest, PointLightUsesTheBallOfThePreviousFrame) {
    game->pathTime = 0.5f;
    const glm::vec3 before(1.0f, 2.0f, 3.0f);
    placeBall(before);

    game->update(0.5f);
    const glm::vec3 moved = positionOf(game->ball->modelMatrix);
    ASSERT_NE(moved, before);
    for (ShaderProgram* program : game->shaders) {
        EXPECT_EQ(inputsOf(program).pointLightPosition, pointLightBeside(before))
            << program->program;
    }

    game->update(0.5f);
    ASSERT_NE(positionOf(game->ball->modelMatrix), moved);
    for (ShaderProgram* program : game->shaders) {
        EXPECT_EQ(inputsOf(program).pointLightPosition, pointLightBeside(moved))
            << program->program;
    }
}

TEST_F(FrameUniformsGLTest, AnEmptyListStillRecomputesTheMatrices) {
    game->uploadFrameUniforms();
    std::vector<FrameInputs> before;
    for (ShaderProgram* program : game->shaders) {
        before.push_back(inputsOf(program));
    }
    std::vector<ShaderProgram*> programs = game->shaders;

    game->shaders.clear();
    game->width = 1600;
    game->height = 900;
    game->projection = glm::mat4(1.0f);
    game->viewProjection = glm::mat4(1.0f);
    placeBall(glm::vec3(50.0f));
    game->disableNormalMapping = true;
    game->camera->setPositionAndTarget(glm::vec3(0.0f, 30.0f, 0.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    game->uploadFrameUniforms();

    expectMatrixNear(game->projection, perspectiveFor(1600, 900), "projection");
    expectMatrixNear(game->viewProjection,
                     perspectiveFor(1600, 900) * game->camera->getViewMatrix(), "viewProjection");
    for (size_t i = 0; i < programs.size(); ++i) {
        FrameInputs now = inputsOf(programs[i]);
        EXPECT_EQ(now.viewProjection, before[i].viewProjection) << "program " << i;
        EXPECT_EQ(now.view, before[i].view) << "program " << i;
        EXPECT_EQ(now.pointLightPosition, before[i].pointLightPosition) << "program " << i;
        EXPECT_EQ(now.disableNormalMapping, 0) << "program " << i;
    }
}

}  // namespace
