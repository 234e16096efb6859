#include "support/TestScene.h"

#include "support/BuildPaths.h"

#include "app/RenderSettings.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "render/FramePasses.h"
#include "scene/ParticleSystem.h"
#include "support/EndToEnd.h"

#include <filesystem>

namespace dusk::test {

namespace {

// Puts back the GL state that a frame changes, as a fresh context has it.
void restoreDefaultGlState() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (GLenum unit : {GL_TEXTURE3, GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTexture(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glViewport(0, 0, windowWidth, windowHeight);
}

}  // namespace

int liveGlObjects() {
    int live = 0;
    for (GLuint name = 1; name < 4096; ++name) {
        live += glIsBuffer(name) + glIsTexture(name) + glIsFramebuffer(name) +
                glIsRenderbuffer(name) + glIsVertexArray(name) + glIsProgram(name) +
                glIsShader(name) + glIsQuery(name);
    }
    return live;
}

void SceneGLTest::SetUp() {
    GLTest::SetUp();
    // The test's own run directory, so that no two tests share the recording file.
    runDirectory = std::make_unique<RunDirectory>("scene");
    std::filesystem::current_path(runDirectory->path());
    dusk::setInput(&keys);
    startupOutput = printedBy([&] { createGame(window); });  // the loaders' lines
    game = gameInstance;
    glViewport(0, 0, windowWidth, windowHeight);
}

void SceneGLTest::TearDown() {
    std::filesystem::current_path(dusk::test::built::runDir());
    // The next test's Game opens the recording again and may announce its explosion again.
    camDataStream.close();
    camDataStream.clear();
    explosionStarted = false;
    renderSettings = RenderSettings();
    restoreDefaultGlState();
    glfwSetWindowShouldClose(window, GLFW_FALSE);
    dusk::setInput(nullptr);
    GLTest::TearDown();
}

void SceneGLTest::runFrame(float frameTime) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game->update(frameTime);
    game->render();
}

void SceneGLTest::stillScene() {
    game->pathTime = 0.5f;
    runFrame(0.1f);
    runFrame(0.1f);
    for (dusk::scene::ParticleSystem* system : game->particleSystems) {
        system->finished = true;
    }
}

std::vector<unsigned char> SceneGLTest::redrawn() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    game->render();
    return readPixels();
}

}  // namespace dusk::test
