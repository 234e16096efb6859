#include "render/FramePasses.h"

#include "app/DebugOverlay.h"
#include "app/RenderSettings.h"
#include "app/Screenshot.h"
#include "game/Game.h"
#include "render/GlDebug.h"
#include "render/GpuTimer.h"
#include "render/RenderTarget.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "scene/Camera.h"
#include "scene/DirectionalLight.h"
#include "scene/ParticleSystem.h"
#include "scene/SkyBox.h"
#include "scene/Tree.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <iostream>

bool explosionStarted = false;

const char* const framePassNames[framePassCount] = {"1 shadow map", "2 camera depth", "3 scene",
                                                    "4 particles", "5 lens flare"};

namespace {

// Maps clip coordinates in [-1, 1] to texture coordinates and depth in [0, 1].
const glm::mat4 shadowBias(0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.5f, 0.0f,
                           0.5f, 0.5f, 0.5f, 1.0f);

void setMatrix(ShaderProgram* shader, const char* name, const glm::mat4& matrix) {
    glUniformMatrix4fv(glGetUniformLocation(shader->program, name), 1, GL_FALSE,
                       glm::value_ptr(matrix));
}

void drawWith(dusk::scene::Object* object, ShaderProgram* shader) {
    object->setProgram(shader);
    object->draw();
}

// A boundary between passes on the GPU's clock, only while the overlay times them.
void stamp(dusk::GpuTimer* passTimer) {
    if (passTimer != nullptr) {
        passTimer->stamp();
    }
}

}  // namespace

glm::mat4 Game::lightViewProjection() const {
    glm::mat4 lightProjection = glm::ortho(-100.0f, 100.0f, -100.0f, 100.0f, -100.0f, 200.0f);
    glm::mat4 lightView =
        glm::lookAt(glm::vec3(0.0f), -light->direction, glm::vec3(0.0f, 1.0f, 0.0f));
    return lightProjection * lightView;
}

void Game::render() {
    beginFrame();
    renderShadowPass();
    renderCameraDepthPass();
    renderScenePass();
    renderParticlePass();
    renderFinalPass();
    renderOverlay();
    saveRequestedScreenshot();
    applyEndOfFrameSettings();
}

void Game::beginFrame() {
    // 1. and 2. The bound target, and the mipmaps of the scene texture from the last picture.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glGenerateMipmap(GL_TEXTURE_2D);
}

void Game::renderShadowPass() {
    // 3. to 8. Draws the depth of castle, ground and trees seen from the sun into the shadow map.
    dusk::DebugGroup group(framePassNames[0]);
    stamp(passTimer);
    glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
    glViewport(0, 0, width, height);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(shadowMapShader->program);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(4.0f, 2.0f);
    setMatrix(shadowMapShader, "depth_view_proj", lightViewProjection());
    drawWith(castle, shadowMapShader);
    drawWith(ground, shadowMapShader);
    for (dusk::scene::Tree* tree : trees) {
        drawWith(tree, shadowMapShader);
    }
    stamp(passTimer);
}

void Game::renderCameraDepthPass() {
    // 9. to 12. Draws the camera's eye depth of the same objects into the float depth texture.
    dusk::DebugGroup group(framePassNames[1]);
    glBindFramebuffer(GL_FRAMEBUFFER, depthFramebuffer);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(depthShader->program);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(4.0f, 2.0f);
    setMatrix(depthShader, "depth_view_proj", cameraProjection() * camera->getViewMatrix());
    drawWith(castle, depthShader);
    drawWith(ground, depthShader);
    for (dusk::scene::Tree* tree : trees) {
        drawWith(tree, depthShader);
    }
    stamp(passTimer);
}

void Game::renderScenePass() {
    // 13. to 24. Draws the sky, then the lit and shadowed ground, castle and trees into the
    // scene target.
    dusk::DebugGroup group(framePassNames[2]);
    glUseProgram(blinnPhongShader->program);
    glm::mat4 biasVP = shadowBias * lightViewProjection();
    glUniform1i(glGetUniformLocation(blinnPhongShader->program, "myTextureSampler"), 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowDepthTexture);
    glUniform1i(glGetUniformLocation(blinnPhongShader->program, "shadowMap"), 1);

    glBindFramebuffer(GL_FRAMEBUFFER, sceneTarget->framebuffer);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    light->draw();
    skyBox->draw();

    ground->setProgram(blinnPhongShader);
    glUseProgram(blinnPhongShader->program);
    setMatrix(blinnPhongShader, "biasVP", biasVP);
    ground->draw();
    glUseProgram(blinnPhongShader->program);
    drawWith(castle, blinnPhongShader);
    for (dusk::scene::Tree* tree : trees) {
        drawWith(tree, blinnPhongShader);
    }
    stamp(passTimer);
}

void Game::renderParticlePass() {
    // 25. to 32. Blends the nebulae and the glow, or the explosion in its window, into the
    // scene target, softened against the camera depth.
    dusk::DebugGroup group(framePassNames[3]);
    GLuint program = particleShader->program;
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, depthColorTexture);
    glUniform1i(glGetUniformLocation(program, "depthTexture"), 1);
    glm::vec3 cameraPosition = dusk::scene::positionOf(camera->modelMatrix);
    glUniform3f(glGetUniformLocation(program, "cameraPos"), cameraPosition.x, cameraPosition.y,
                cameraPosition.z);
    for (dusk::scene::ParticleSystem* system : particleSystems) {
        system->shader = particleShader;
    }

    for (int nebula = 0; nebula < 2; ++nebula) {
        if (!particleSystems[nebula]->finished) {
            particleSystems[nebula]->draw(disableSoftParticles, false);
        }
    }
    dusk::scene::ParticleSystem* glow = particleSystems[2];
    dusk::scene::ParticleSystem* explosion = particleSystems[3];
    if (pathTime >= 1.0f && pathTime <= 1.1f) {
        if (!explosionStarted) {
            explosionStarted = true;
            explosion->atlasFrame = 0;
            explosion->finished = false;
            std::cout << "Expl" << std::endl;
        }
        if (!explosion->finished) {
            explosion->draw(true, false);
        }
    } else if (!glow->finished) {
        glow->draw(disableSoftParticles, true);
    }
    stamp(passTimer);
}

void Game::renderFinalPass() {
    // 33. to 35. Draws the scene texture through the lens-flare program onto the window, filled.
    dusk::DebugGroup group(framePassNames[4]);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    screenQuad->draw();
    stamp(passTimer);
}

void Game::renderOverlay() {
    // 35b. Draws the F6 overlay onto the window over the final picture, while it is shown;
    // before the end-of-frame settings, which act on the scene texture it leaves bound.
    if (overlayShown) {
        dusk::DebugGroup group("overlay");
        overlay->draw();
    }
}

void Game::saveRequestedScreenshot() {
    if (screenshotRequested) {
        screenshotRequested = false;
        if (screenshotWriter == nullptr) {
            screenshotWriter = new dusk::ScreenshotWriter();
        }
        screenshotWriter->take(width, height);
    }
    if (screenshotWriter != nullptr) {
        screenshotWriter->reportFinished();
    }
}

void Game::applyEndOfFrameSettings() {
    // 36. to 38. Filters of the scene texture, still bound on unit 0, and the next frame's
    // polygon mode.
    GLint minFilter =
        minificationFilter(renderSettings.mipmapMode, renderSettings.bilinearFiltering);
    if (minFilter != 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (renderSettings.wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    }
}
