#include "render/FramePasses.h"

#include "app/DebugKeysScriptedInput.h"
#include "app/RenderSettings.h"
#include "game/Game.h"
#include "render/RenderTarget.h"
#include "render/ShaderProgram.h"
#include "scene/Camera.h"
#include "scene/DirectionalLight.h"
#include "scene/ParticleSystem.h"
#include "scene/SkyBox.h"
#include "scene/Tree.h"
#include "support/AllocationCounter.h"
#include "support/GLContext.h"
#include "support/TestScene.h"
// After the headers that bring glm: Magick++ otherwise takes assert.h into its own namespace.
#include "game/SceneAssemblyContent.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

namespace {

using dusk::test::allocationCount;
using dusk::test::countingAllocations;
using dusk::test::TestScene;
namespace sceneColor = dusk::test::sceneColor;

glm::u8vec4 opaque(glm::u8vec3 color) {
    return {color, 255};
}

const glm::u8vec4 clearColor(204, 204, 204, 204);

GLint integer(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureParameter(GLuint texture, GLenum name) {
    GLint active = integer(GL_ACTIVE_TEXTURE);
    glActiveTexture(GL_TEXTURE5);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(static_cast<GLenum>(active));
    return value;
}

GLint levelWidth(GLuint texture, GLint level) {
    GLint active = integer(GL_ACTIVE_TEXTURE);
    glActiveTexture(GL_TEXTURE5);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(static_cast<GLenum>(active));
    return width;
}

glm::mat4 matrixUniform(const ShaderProgram* shader, const char* name) {
    glm::mat4 value(-1.0f);
    GLint location = glGetUniformLocation(shader->program, name);
    EXPECT_NE(location, -1) << name;
    glGetUniformfv(shader->program, location, glm::value_ptr(value));
    return value;
}

GLint intUniform(const ShaderProgram* shader, const char* name) {
    GLint value = -1;
    GLint location = glGetUniformLocation(shader->program, name);
    EXPECT_NE(location, -1) << name;
    glGetUniformiv(shader->program, location, &value);
    return value;
}

glm::vec3 vectorUniform(const ShaderProgram* shader, const char* name) {
    glm::vec3 value(-1.0f);
    GLint location = glGetUniformLocation(shader->program, name);
    EXPECT_NE(location, -1) << name;
    glGetUniformfv(shader->program, location, &value.x);
    return value;
}

void expectMatrixNear(const glm::mat4& actual, const glm::mat4& expected, const char* what) {
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            EXPECT_NEAR(actual[c][r], expected[c][r], 1e-5f * (1.0f + std::fabs(expected[c][r])))
                << what << " [" << c << "][" << r << "]";
        }
    }
}

class FramePassesGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::setInput(&keys);
        renderSettings = RenderSettings();
        explosionStarted = false;
        scene = std::make_unique<TestScene>(window, dusk::test::freshTestFolder("render"));
        game = scene->game;
    }
    void TearDown() override {
        std::cout.rdbuf(realCout);
        countingAllocations = false;
        renderSettings = RenderSettings();
        explosionStarted = false;
        dusk::test::restoreDefaultGlState();
        dusk::setInput(nullptr);
        GLTest::TearDown();
    }

    // One frame's drawing, with what it prints kept apart.
    std::string renderCapturingOutput() {
        std::ostringstream printed;
        std::cout.rdbuf(printed.rdbuf());
        game->render();
        std::cout.rdbuf(realCout);
        return printed.str();
    }

    // A pixel of one of the frame's colour targets, read without disturbing what render left.
    glm::u8vec4 pixelOf(GLuint framebuffer, GLenum buffer, const glm::vec3& world) {
        glm::ivec2 at = scene->pixelOf(world);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        glReadBuffer(buffer);
        glm::u8vec4 value = dusk::test::readPixel(at.x, at.y);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return value;
    }
    glm::u8vec4 sceneAt(const glm::vec3& world) {
        return pixelOf(game->sceneTarget->framebuffer, GL_COLOR_ATTACHMENT0, world);
    }
    glm::u8vec4 windowAt(const glm::vec3& world) { return pixelOf(0, GL_BACK, world); }

    glm::vec4 cameraDepthAt(const glm::vec3& world) {
        glm::ivec2 at = scene->pixelOf(world);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, game->depthFramebuffer);
        glReadBuffer(GL_COLOR_ATTACHMENT5);
        glm::vec4 value(-1.0f);
        glReadPixels(at.x, at.y, 1, 1, GL_RGBA, GL_FLOAT, &value.x);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return value;
    }

    // The camera-depth colour at a point, to the precision the programs keep it at.
    void expectCameraDepth(const glm::vec3& world, const glm::vec4& expected) {
        glm::vec4 value = cameraDepthAt(world);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(value[i], expected[i], 1e-4f)
                << "channel " << i << " at (" << world.x << ", " << world.y << ")";
        }
    }

    float shadowDepthAt(glm::ivec2 texel) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, game->shadowFramebuffer);
        float depth = -1.0f;
        glReadPixels(texel.x, texel.y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return depth;
    }

    // A shadow-map texel that sees the sky cube from the light, far from the other objects.
    glm::ivec2 skyOnlyShadowTexel() const {
        return glm::ivec2(game->width * 8 / 10, game->height / 2);
    }

    // Which particle systems show in the scene target, told by their colours.
    std::set<int> particlesShown() {
        std::set<int> shown;
        for (int i = 0; i < 4; ++i) {
            glm::u8vec4 pixel = sceneAt(TestScene::particlePoint(i));
            if (glm::u8vec3(pixel.r, pixel.g, 0) ==
                glm::u8vec3(sceneColor::particles[i].r, sceneColor::particles[i].g, 0)) {
                shown.insert(i);
            }
        }
        return shown;
    }
    int particleFlags(int system) { return sceneAt(TestScene::particlePoint(system)).b; }

    // The sky drawn with a depth program by hand: what the passes must not do.
    void drawSkyWith(ShaderProgram* program, GLuint framebuffer, const glm::mat4& viewProjection) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glUseProgram(program->program);
        glUniformMatrix4fv(glGetUniformLocation(program->program, "depth_view_proj"), 1, GL_FALSE,
                           glm::value_ptr(viewProjection));
        game->skyBox->setProgram(program);
        game->skyBox->draw();
        game->skyBox->setProgram(game->skyShader);
    }

    glm::mat4 lightViewProjection() const {
        return glm::ortho(-100.0f, 100.0f, -100.0f, 100.0f, -100.0f, 200.0f) *
               glm::lookAt(glm::vec3(0.0f), -game->light->direction, glm::vec3(0.0f, 1.0f, 0.0f));
    }
    glm::mat4 cameraViewProjection() const {
        return glm::perspective(1.0471975803375244f,
                                static_cast<float>(game->width) / static_cast<float>(game->height),
                                0.1f, 1000.0f) *
               game->camera->getViewMatrix();
    }

    std::streambuf* const realCout = std::cout.rdbuf();
    dusk::test::ScriptedKeys keys;
    std::unique_ptr<TestScene> scene;
    Game* game = nullptr;
};

TEST_F(FramePassesGLTest, EachTargetReceivesItsPassInOneFrame) {
    game->render();

    // Shadow pass: the castle's depth from the light.
    EXPECT_LT(shadowDepthAt(scene->shadowTexelOf(TestScene::castlePoint())), 1.0f);

    // Camera-depth pass: castle, ground and tree, each with its own colour, nothing else.
    expectCameraDepth(TestScene::groundPoint(), glm::vec4(0.0f, 1.0f, 0.0f, 1.0f));
    expectCameraDepth(TestScene::castlePoint(), glm::vec4(1.0f, 0.0f, 0.0f, 1.0f));
    expectCameraDepth(TestScene::treePoint(), glm::vec4(0.0f, 0.0f, 1.0f, 1.0f));
    expectCameraDepth(TestScene::particlePoint(0), glm::vec4(0.8f));

    // Scene and particle passes: the lit objects in front of the sky, the particles on top.
    EXPECT_EQ(sceneAt(TestScene::groundPoint()), opaque(sceneColor::ground));
    EXPECT_EQ(sceneAt(TestScene::castlePoint()), opaque(sceneColor::castle));
    EXPECT_EQ(sceneAt(TestScene::treePoint()), opaque(sceneColor::tree));
    EXPECT_EQ(sceneAt(TestScene::backgroundPoint()), opaque(sceneColor::sky));
    EXPECT_EQ(particlesShown(), (std::set<int>{0, 1, 2}));

    // Final pass: the scene texture on the window.
    for (const glm::vec3& point : {TestScene::groundPoint(), TestScene::castlePoint(),
                                   TestScene::backgroundPoint(), TestScene::particlePoint(2)}) {
        EXPECT_EQ(windowAt(point), dusk::test::shownOnWindow(sceneAt(point)));
    }
}

TEST_F(FramePassesGLTest, SkyBoxIsAbsentFromBothDepthPasses) {
    game->render();
    EXPECT_EQ(shadowDepthAt(skyOnlyShadowTexel()), 1.0f) << "the sky casts no shadow";
    // Nor does it hide a particle: the camera-depth texture stays clear behind everything.
    expectCameraDepth(TestScene::backgroundPoint(), glm::vec4(0.8f));

    // The same texels do show the sky once it is drawn there.
    drawSkyWith(game->shadowMapShader, game->shadowFramebuffer, lightViewProjection());
    EXPECT_LT(shadowDepthAt(skyOnlyShadowTexel()), 1.0f);
    drawSkyWith(game->depthShader, game->depthFramebuffer, cameraViewProjection());
    expectCameraDepth(TestScene::backgroundPoint(), glm::vec4(1.0f, 1.0f, 0.0f, 1.0f));
}

TEST_F(FramePassesGLTest, WithoutTreesTheDepthPassesDrawCastleAndGroundOnly) {
    game->trees.clear();
    game->render();
    expectCameraDepth(TestScene::treePoint(), glm::vec4(0.8f));
    expectCameraDepth(TestScene::castlePoint(), glm::vec4(1.0f, 0.0f, 0.0f, 1.0f));
    expectCameraDepth(TestScene::groundPoint(), glm::vec4(0.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(sceneAt(TestScene::treePoint()), opaque(sceneColor::sky));
}

TEST_F(FramePassesGLTest, RenderLeavesTheStateTheNextFrameStartsFrom) {
    // Unlike what the frame must leave, so that each setting shows.
    glDisable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glViewport(0, 0, 7, 5);
    for (dusk::scene::ParticleSystem* system : game->particleSystems) {
        system->shader = game->depthShader;
    }

    for (bool wireframe : {false, true, false}) {
        renderSettings.wireframe = wireframe;
        game->render();
        SCOPED_TRACE(wireframe ? "wireframe" : "filled");

        EXPECT_EQ(integer(GL_DRAW_FRAMEBUFFER_BINDING), 0);
        EXPECT_EQ(integer(GL_READ_FRAMEBUFFER_BINDING), 0);
        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
        EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)),
                  game->sceneTarget->colorTexture);
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_EQ(integer(GL_CULL_FACE_MODE), GL_BACK);
        EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
        GLfloat factor = 0.0f;
        GLfloat units = 0.0f;
        glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
        glGetFloatv(GL_POLYGON_OFFSET_UNITS, &units);
        EXPECT_EQ(factor, 4.0f);
        EXPECT_EQ(units, 2.0f);
        GLint polygonMode[2] = {-1, -1};
        glGetIntegerv(GL_POLYGON_MODE, polygonMode);
        EXPECT_EQ(polygonMode[0], wireframe ? GL_LINE : GL_FILL);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_EQ(integer(GL_DEPTH_FUNC), GL_LESS);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(glm::ivec4(viewport[0], viewport[1], viewport[2], viewport[3]),
                  glm::ivec4(0, 0, game->width, game->height));
        EXPECT_EQ(static_cast<GLuint>(integer(GL_CURRENT_PROGRAM)), game->lensFlareShader->program);
        EXPECT_EQ(integer(GL_VERTEX_ARRAY_BINDING), 0);

        // Unit 1 ends with the camera-depth texture of the particle pass.
        glActiveTexture(GL_TEXTURE1);
        EXPECT_EQ(static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D)), game->depthColorTexture);
        glActiveTexture(GL_TEXTURE0);
        for (dusk::scene::ParticleSystem* system : game->particleSystems) {
            EXPECT_EQ(system->shader, game->particleShader);
        }
    }
}

TEST_F(FramePassesGLTest, PassesHandTheirProgramsTheMatricesAndSamplers) {
    // A light vector of its own, set after the light's first upload.
    game->light->direction = glm::vec3(30.0f, 80.0f, 40.0f);
    game->camera->setPositionAndTarget(glm::vec3(2.0f, 3.0f, 12.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    game->render();

    expectMatrixNear(matrixUniform(game->shadowMapShader, "depth_view_proj"), lightViewProjection(),
                     "shadow pass");
    expectMatrixNear(matrixUniform(game->depthShader, "depth_view_proj"), cameraViewProjection(),
                     "camera-depth pass");
    const glm::mat4 shadowBias(0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f,
                               0.0f, 0.5f, 0.5f, 0.5f, 1.0f);
    expectMatrixNear(matrixUniform(game->blinnPhongShader, "biasVP"),
                     shadowBias * lightViewProjection(), "scene pass");
    EXPECT_EQ(intUniform(game->blinnPhongShader, "myTextureSampler"), 0);
    EXPECT_EQ(intUniform(game->blinnPhongShader, "shadowMap"), 1);
    for (ShaderProgram* program : game->shaders) {
        EXPECT_EQ(vectorUniform(program, "mainLight"), glm::vec3(30.0f, 80.0f, 40.0f));
    }
    EXPECT_EQ(intUniform(game->particleShader, "depthTexture"), 1);
    EXPECT_EQ(vectorUniform(game->particleShader, "cameraPos"), glm::vec3(2.0f, 3.0f, 12.0f));
    EXPECT_EQ(intUniform(game->lensFlareShader, "sceneTexture"), 0);
}

TEST_F(FramePassesGLTest, MinificationFollowsTheSettingsAndMagnificationStaysLinear) {
    struct Case {
        int mipmapMode;
        bool bilinear;
        GLint filter;
    };
    const Case cases[] = {
        {-1, true, GL_LINEAR},
        {-1, false, GL_NEAREST},
        {0, true, GL_LINEAR_MIPMAP_NEAREST},
        {0, false, GL_NEAREST_MIPMAP_NEAREST},
        {1, true, GL_LINEAR_MIPMAP_LINEAR},
        {1, false, GL_NEAREST_MIPMAP_LINEAR},
    };
    const GLuint sceneTexture = game->sceneTarget->colorTexture;
    for (const Case& c : cases) {
        SCOPED_TRACE("mipmapMode " + std::to_string(c.mipmapMode) +
                     (c.bilinear ? ", bilinear" : ", nearest"));
        // A leftover that the frame must replace.
        glBindTexture(GL_TEXTURE_2D, sceneTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                        c.filter == GL_LINEAR ? GL_NEAREST : GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        renderSettings.mipmapMode = c.mipmapMode;
        renderSettings.bilinearFiltering = c.bilinear;
        game->render();
        EXPECT_EQ(textureParameter(sceneTexture, GL_TEXTURE_MIN_FILTER), c.filter);
        EXPECT_EQ(textureParameter(sceneTexture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(windowAt(TestScene::groundPoint()),
                  dusk::test::shownOnWindow(opaque(sceneColor::ground)));
    }

    // Any other mode leaves the minification filter as it was.
    renderSettings.mipmapMode = 2;
    renderSettings.bilinearFiltering = true;
    game->render();
    EXPECT_EQ(textureParameter(sceneTexture, GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);

    // Only the scene texture is touched.
    for (GLuint other : {game->shadowDepthTexture, game->depthColorTexture, game->depthDepthTexture,
                         game->sceneTarget->depthTexture}) {
        EXPECT_EQ(textureParameter(other, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << other;
        EXPECT_EQ(textureParameter(other, GL_TEXTURE_MAG_FILTER), GL_LINEAR) << other;
    }
}

// Each frame starts by building the scene texture's mipmaps from the picture still in it.
TEST_F(FramePassesGLTest, MipmapsHoldThePreviousFramesPicture) {
    game->render();
    const glm::mat4 placed = game->ground->modelMatrix;
    game->ground->setModelMatrix(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, 500.0f)));
    game->render();
    EXPECT_EQ(sceneAt(TestScene::groundPoint()), opaque(sceneColor::sky));

    const GLuint sceneTexture = game->sceneTarget->colorTexture;
    const int halfWidth = game->width / 2;
    const int halfHeight = game->height / 2;
    ASSERT_EQ(levelWidth(sceneTexture, 1), halfWidth);
    std::vector<glm::u8vec4> level(static_cast<size_t>(halfWidth * halfHeight));
    glBindTexture(GL_TEXTURE_2D, sceneTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level.data());
    glm::ivec2 at = scene->pixelOf(TestScene::groundPoint()) / 2;
    EXPECT_EQ(level[static_cast<size_t>(at.y * halfWidth + at.x)], opaque(sceneColor::ground));
    game->ground->setModelMatrix(placed);
}

TEST_F(FramePassesGLTest, WireframeShowsFromTheNextFrameWhileTheFinalQuadStaysFilled) {
    const glm::u8vec4 filledGround = opaque(sceneColor::ground);
    const glm::vec3 ground = TestScene::groundPoint();

    renderSettings.wireframe = true;
    game->render();
    EXPECT_EQ(sceneAt(ground), filledGround) << "the frame of the switch is still filled";
    EXPECT_EQ(windowAt(ground), dusk::test::shownOnWindow(filledGround));

    game->render();
    EXPECT_EQ(sceneAt(ground), clearColor) << "only the outlines of the ground are drawn";
    EXPECT_EQ(windowAt(ground), dusk::test::shownOnWindow(clearColor))
        << "the quad itself is filled";

    renderSettings.wireframe = false;
    game->render();
    EXPECT_EQ(sceneAt(ground), clearColor) << "this frame began with outlines on";
    EXPECT_EQ(windowAt(ground), dusk::test::shownOnWindow(clearColor));
    game->render();
    EXPECT_EQ(sceneAt(ground), filledGround);
    EXPECT_EQ(windowAt(ground), dusk::test::shownOnWindow(filledGround));
}

TEST_F(FramePassesGLTest, TheExplosionPlaysOnceAndHidesTheGlowInItsWindow) {
    dusk::scene::ParticleSystem* explosion = game->particleSystems[3];
    const int glowFlags = dusk::test::particleFlagsBlue(false, true);
    const int nebulaFlags = dusk::test::particleFlagsBlue(false, false);
    std::string printed;

    game->pathTime = 0.99f;
    printed += renderCapturingOutput();
    EXPECT_EQ(particlesShown(), (std::set<int>{0, 1, 2}));
    EXPECT_EQ(particleFlags(0), nebulaFlags);
    EXPECT_EQ(particleFlags(1), nebulaFlags);
    EXPECT_EQ(particleFlags(2), glowFlags);
    EXPECT_EQ(printed, "");

    // The explosion starts afresh at its first atlas frame, even after it had played before.
    explosion->atlasFrame = 40;
    explosion->finished = true;
    game->disableSoftParticles = true;
    game->pathTime = 1.0f;
    printed += renderCapturingOutput();
    EXPECT_EQ(printed, "Expl\n");
    EXPECT_TRUE(explosionStarted);
    EXPECT_EQ(explosion->atlasFrame, 0);
    EXPECT_FALSE(explosion->finished);
    EXPECT_EQ(particlesShown(), (std::set<int>{0, 1, 3}));
    EXPECT_EQ(particleFlags(0), dusk::test::particleFlagsBlue(true, false));
    EXPECT_EQ(particleFlags(3), dusk::test::particleFlagsBlue(true, false));

    // Later frames of the window go on with the running explosion.
    game->disableSoftParticles = false;
    explosion->atlasFrame = 9;
    for (float pathTime : {1.05f, 1.1f}) {
        game->pathTime = pathTime;
        printed += renderCapturingOutput();
        EXPECT_EQ(explosion->atlasFrame, 9) << pathTime;
        EXPECT_EQ(particlesShown(), (std::set<int>{0, 1, 3})) << pathTime;
        EXPECT_EQ(particleFlags(3), dusk::test::particleFlagsBlue(true, false)) << pathTime;
    }

    // A finished explosion is not drawn, and the glow still waits for the window to close.
    explosion->finished = true;
    game->pathTime = 1.08f;
    printed += renderCapturingOutput();
    EXPECT_EQ(particlesShown(), (std::set<int>{0, 1}));

    game->pathTime = std::nextafter(1.1f, 2.0f);
    printed += renderCapturingOutput();
    EXPECT_EQ(particlesShown(), (std::set<int>{0, 1, 2}));
    EXPECT_EQ(particleFlags(2), glowFlags);

    // The window again: the explosion is not started a second time.
    game->pathTime = 1.0f;
    printed += renderCapturingOutput();
    EXPECT_TRUE(explosion->finished);
    EXPECT_EQ(particlesShown(), (std::set<int>{0, 1}));
    EXPECT_EQ(printed, "Expl\n") << "printed once for the whole run";
}

TEST_F(FramePassesGLTest, FinishedSystemsAreNotDrawn) {
    game->particleSystems[0]->finished = true;
    game->particleSystems[2]->finished = true;
    game->render();
    EXPECT_EQ(particlesShown(), (std::set<int>{1}));
    game->disableSoftParticles = true;
    game->particleSystems[0]->finished = false;
    game->render();
    EXPECT_EQ(particlesShown(), (std::set<int>{0, 1}));
    EXPECT_EQ(particleFlags(0), dusk::test::particleFlagsBlue(true, false));
    EXPECT_EQ(particleFlags(1), dusk::test::particleFlagsBlue(true, false));
}

// The real scene assembly and a frame as the loop runs it, on stand-in content.
class AssembledFrameGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::setInput(&keys);
        renderSettings = RenderSettings();
        explosionStarted = false;
        content = std::make_unique<dusk::test::SceneContentDirectory>(
            "render/" + dusk::test::currentTestName());
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glClearColor(0.8f, 0.8f, 0.8f, 0.8f);
        testing::internal::CaptureStdout();
        game = new Game(window);
        testing::internal::GetCapturedStdout();
        glViewport(0, 0, game->width, game->height);
    }
    void TearDown() override {
        countingAllocations = false;
        camDataStream.close();
        camDataStream.clear();
        content.reset();
        renderSettings = RenderSettings();
        explosionStarted = false;
        dusk::test::restoreDefaultGlState();
        dusk::setInput(nullptr);
        GLTest::TearDown();
    }

    void frame(float frameTime) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        game->update(frameTime);
        game->render();
    }

    dusk::test::ScriptedKeys keys;
    std::unique_ptr<dusk::test::SceneContentDirectory> content;
    Game* game = nullptr;
};

// No driver builds mipmaps for a depth texture without complaint: the first frame must not ask.
TEST_F(AssembledFrameGLTest, TheFirstFrameBuildsMipmapsOfTheSceneTextureOnly) {
    ASSERT_EQ(dusk::test::takeGlErrors(), 0);
    frame(1.0f / 60.0f);
    EXPECT_EQ(dusk::test::takeGlErrors(), 0);
    for (GLuint depth :
         {game->depthDepthTexture, game->shadowDepthTexture, game->sceneTarget->depthTexture}) {
        EXPECT_EQ(levelWidth(depth, 1), 0) << "depth texture " << depth << " got mipmaps";
    }
    EXPECT_EQ(levelWidth(game->sceneTarget->colorTexture, 1), game->width / 2);
    frame(1.0f / 60.0f);
    EXPECT_EQ(dusk::test::takeGlErrors(), 0);
}

// Once every list and buffer has its size, a frame asks the heap for nothing.
TEST_F(AssembledFrameGLTest, SteadyFramesAllocateNothing) {
    // The counter sees an allocation made inside the library.
    countingAllocations = true;
    std::ostringstream text;
    text << std::string(100, 'x');
    countingAllocations = false;
    ASSERT_GT(allocationCount, 0);

    struct Stretch {
        const char* name;
        float pathTime;
    };
    for (Stretch stretch : {Stretch{"flight", 0.5f}, Stretch{"explosion", 1.02f},
                            Stretch{"swing", 1.3f}, Stretch{"free flight", 1.7f}}) {
        game->pathTime = stretch.pathTime;
        keys.down = {GLFW_KEY_W, GLFW_KEY_LEFT};
        testing::internal::CaptureStdout();
        frame(0.1f);
        frame(0.1f);
        testing::internal::GetCapturedStdout();

        allocationCount = 0;
        countingAllocations = true;
        for (int i = 0; i < 3; ++i) {
            frame(0.1f);
        }
        countingAllocations = false;
        EXPECT_EQ(allocationCount, 0) << stretch.name;
    }
    EXPECT_FALSE(game->introRunning);
    EXPECT_EQ(dusk::test::takeGlErrors(), 0);
}

// The names of every live GL object of the kinds a frame could make, up to a bound far above
// what the scene uses.
std::vector<std::vector<GLuint>> liveGlObjects() {
    using Check = GLboolean (*)(GLuint);
    const Check checks[] = {
        [](GLuint name) { return glIsBuffer(name); },
        [](GLuint name) { return glIsTexture(name); },
        [](GLuint name) { return glIsFramebuffer(name); },
        [](GLuint name) { return glIsRenderbuffer(name); },
        [](GLuint name) { return glIsVertexArray(name); },
        [](GLuint name) { return glIsProgram(name); },
        [](GLuint name) { return glIsShader(name); },
        [](GLuint name) { return glIsQuery(name); },
    };
    std::vector<std::vector<GLuint>> live;
    for (Check check : checks) {
        live.emplace_back();
        for (GLuint name = 1; name < 4096; ++name) {
            if (check(name)) {
                live.back().push_back(name);
            }
        }
    }
    return live;
}

TEST_F(AssembledFrameGLTest, FramesCreateNoGlObjects) {
    frame(0.1f);
    game->pathTime = 1.05f;
    frame(0.1f);
    const std::vector<std::vector<GLuint>> before = liveGlObjects();
    ASSERT_FALSE(before[1].empty());
    for (float pathTime : {0.5f, 1.02f, 1.3f, 1.7f}) {
        game->pathTime = pathTime;
        frame(0.1f);
        frame(0.1f);
    }
    EXPECT_EQ(liveGlObjects(), before);
}

}  // namespace
