#include "game/Game.h"

#include "assets/ImagePrefetch.h"
#include "game/PhysicsWorld.h"
#include "render/DepthTargets.h"
#include "render/RenderTarget.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "scene/Camera.h"
#include "scene/DirectionalLight.h"
#include "scene/ParticleSystem.h"
#include "scene/SkyBox.h"
#include "scene/Tree.h"

#include <glm/gtc/matrix_transform.hpp>

#include <iostream>

std::ofstream camDataStream;

namespace {

const char* const shaderDir = "Dusklorne/Shader/";
const glm::mat4 identity(1.0f);

// The scene's images, in the order the steps below load them.
const char* const groundColorMap = "Model/Image/ground19.jpg";
const char* const groundNormalMap = "Model/Image/ground19n.jpg";
const char* const groundSpecularMap = "Model/Image/ground19s.jpg";
const char* const skyImage = "Model/Image/skybox2.jpg";
const char* const nebulaSprite = "Model/Image/nebular.png";
const char* const stoneColorMap = "Model/Image/stone11.jpg";
const char* const stoneNormalMap = "Model/Image/stone11n.jpg";
const char* const stoneSpecularMap = "Model/Image/stone11s.jpg";
const char* const ballImage = "Model/Image/est9.jpg";
const char* const glowSprite = "Model/Image/Light_Texture.png";
const char* const explosionAtlas = "Model/Image/fire_atlas.png";
const char* const treeImage = "Model/Image/tree1.png";
const std::vector<std::string> sceneImages = {
    groundColorMap, groundNormalMap,  groundSpecularMap, skyImage,   nebulaSprite,   stoneColorMap,
    stoneNormalMap, stoneSpecularMap, ballImage,         glowSprite, explosionAtlas, treeImage};

ShaderProgram* buildProgram(const std::string& vertexFile, const std::string& fragmentFile) {
    return new ShaderProgram(shaderDir + vertexFile, shaderDir + fragmentFile);
}

}  // namespace

// The whole scene, in a fixed order: the particle systems draw from the generator before the
// trees do, so the layout is the same on every run.
void Game::assembleScene() {
    // The images decode on a second thread while the steps run; each step that loads one waits
    // only if it is not ready yet.
    dusk::ImagePrefetch images(sceneImages);
    openRecordingFile();
    setInitialGlState();
    buildShaderPrograms();
    buildSceneTarget();
    buildLensFlareProgram();
    buildScreenQuad();
    createPhysicsWorld();
    createCamera();
    createGround();
    createSkyBox();
    createNebulae();
    createCastle();
    createBall();
    createBallGlowAndExplosion();
    plantTrees();
    createLight();
    createShadowTarget();
    createCameraDepthTarget();
    placeCameraAtIntroStart();
    bindSceneTextureForFirstFrame();
}

void Game::openRecordingFile() {
    // A file that cannot be created leaves the stream failed: recording then does nothing.
    camDataStream.open("camData.txt", std::ios::out | std::ios::trunc);
}

void Game::setInitialGlState() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
}

void Game::buildShaderPrograms() {
    blinnPhongShader = buildProgram("blinnphong.vert", "blinnphong.frag");
    shaders.push_back(blinnPhongShader);
    skyShader = buildProgram("blinnphong.vert", "sky.frag");
    shaders.push_back(skyShader);
    shadowMapShader = buildProgram("shadowMap.vertexshader", "shadowMap.fragmentshader");
    shaders.push_back(shadowMapShader);
    depthShader = buildProgram("depth.vert", "depth.frag");
    shaders.push_back(depthShader);
    particleShader = buildProgram("particlesShader.vert", "particlesShader.frag");
}

void Game::buildSceneTarget() {
    sceneTarget = new RenderTarget(width, height);
}

void Game::buildLensFlareProgram() {
    lensFlareShader = buildProgram("lensFlare.vert", "lensFlare.frag");
    shaders.push_back(lensFlareShader);
}

void Game::buildScreenQuad() {
    screenQuad =
        new ScreenQuad(lensFlareShader, sceneTarget->colorTexture, sceneTarget->depthTexture);
}

void Game::createPhysicsWorld() {
    getDynamicsWorld();
}

void Game::createCamera() {
    camera =
        new dusk::scene::Camera(glm::translate(identity, glm::vec3(50.0f, 50.0f, 50.0f)), window);
}

void Game::createGround() {
    ground = new dusk::scene::Object(
        "Model/Object/ground20.obj", glm::scale(identity, glm::vec3(2.5f, 1.0f, 2.5f)),
        blinnPhongShader, groundColorMap, groundNormalMap, groundSpecularMap);
}

void Game::createSkyBox() {
    skyBox = new dusk::scene::SkyBox("Model/Object/skybox.obj", identity, skyShader, skyImage);
}

void Game::createNebulae() {
    particleSystems[0] = new dusk::scene::ParticleSystem(firePositions[0], 15, 25.0f, 0.05f, 1.0f,
                                                         10, false, nebulaSprite);
    particleSystems[1] = new dusk::scene::ParticleSystem(glm::vec3(0.0f, 5.0f, 0.0f), 47, 20.0f,
                                                         0.05f, 0.1f, 450, false, nebulaSprite);
}

void Game::createCastle() {
    castle = new dusk::scene::Object("Model/Object/castle.obj",
                                     glm::translate(identity, glm::vec3(0.0f)), blinnPhongShader,
                                     stoneColorMap, stoneNormalMap, stoneSpecularMap);
}

void Game::createBall() {
    ball =
        new dusk::scene::Object("Model/Object/only_quad_sphere.obj",
                                glm::translate(identity, ballPath[0]), blinnPhongShader, ballImage);
}

void Game::createBallGlowAndExplosion() {
    particleSystems[2] =
        new dusk::scene::ParticleSystem(ballPath[0], 0, 5.0f, 1.0f, 1.0f, 1, false, glowSprite);
    particleSystems[3] = new dusk::scene::ParticleSystem(
        glm::vec3(23.7951f, 31.1753f, -1.71746f), 0, 5.0f, 1.0f, 1.0f, 1, true, explosionAtlas);
}

void Game::plantTrees() {
    const char* const kinds[2][2] = {{"Loading Model: Tree 1", "Model/Object/tree1.obj"},
                                     {"Loading Model: Tree 3", "Model/Object/tree3.obj"}};
    for (const auto& kind : kinds) {
        std::cout << kind[0] << std::endl;
        // The template only lends its model and program; it is kept alive for the placed trees.
        auto* templateTree = new dusk::scene::Tree(kind[1], identity, blinnPhongShader, treeImage);
        templateTree->trunkHalfHeight = 5.0;
        templateTree->trunkRadius = 0.5;
        for (int i = 0; i < 20; ++i) {
            trees.push_back(new dusk::scene::Tree(*templateTree));
        }
    }
}

void Game::createLight() {
    light = new dusk::scene::DirectionalLight(
        glm::translate(identity, glm::vec3(100.0f, 100.0f, 100.0f)), shaders,
        glm::vec3(100.0f, 100.0f, 100.0f));
    // The programs hold the light before the first frame.
    light->draw();
}

void Game::createShadowTarget() {
    createShadowFramebuffer(width, height, &shadowFramebuffer, &shadowDepthTexture);
}

void Game::createCameraDepthTarget() {
    createCameraDepthFramebuffer(width, height, &depthFramebuffer, &depthColorTexture,
                                 &depthDepthTexture);
}

void Game::placeCameraAtIntroStart() {
    camera->setPositionAndTarget(ballPath[0], ballPath[1]);
}

void Game::bindSceneTextureForFirstFrame() {
    // Every frame starts by rebuilding the mipmaps of the texture on unit 0, which the previous
    // frame left as the scene texture. Give the first frame the same texture, not the depth
    // texture the framebuffer set-up left bound: depth formats have no mipmaps to build.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sceneTarget->colorTexture);
}
