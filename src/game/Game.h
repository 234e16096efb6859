#pragma once

#include "render/GL.h"

#include <glm/glm.hpp>

#include <array>
#include <fstream>
#include <string>
#include <vector>

class RenderTarget;
class ScreenQuad;
class ShaderProgram;

namespace dusk {
class DebugOverlay;
class GpuTimer;
class ScreenshotWriter;
}  // namespace dusk

namespace dusk::scene {
class Camera;
class DirectionalLight;
class Object;
class ParticleSystem;
class SkyBox;
class Tree;
}  // namespace dusk::scene

// The recording file of the SPACE key, opened (truncated) by the scene assembly.
extern std::ofstream camDataStream;

// The one central object: window, programs, targets, scene objects, intro path and switches.
class Game {
public:
    // Sets the initial values and the intro path, then assembles the whole scene. Tests may
    // leave the scene out and assemble parts of it by hand.
    explicit Game(GLFWwindow* window, bool assembleScene = true);

    // Frame loop entry points.
    void update(float frameTime);
    void render();
    void pollDebugKeys();
    // What a debug key does when the poll finds it down; the overlay's controls call it too.
    void actOnKey(int key);
    // F7: reads, compiles and links the six programs again; replaces them only when all built.
    void reloadShaders();

    void buildBallPath();
    void uploadFrameUniforms();

    // The steps of render(), in order; the bench tool times them one by one.
    void beginFrame();
    void renderShadowPass();
    void renderCameraDepthPass();
    void renderScenePass();
    void renderParticlePass();
    void renderFinalPass();
    void renderOverlay();            // the F6 overlay, while shown
    void saveRequestedScreenshot();  // the window's picture after an F8; reports written ones
    void applyEndOfFrameSettings();

    // The pathTime past which the intro hands over to the player.
    static constexpr double introEndPathTime = 1.6;

    // The camera projection of every frame: 60 degrees, window aspect, near 0.1, far 1000.
    glm::mat4 cameraProjection() const;
    // The sun's orthographic view-projection for the shadow pass.
    glm::mat4 lightViewProjection() const;

    GLFWwindow* window;
    RenderTarget* sceneTarget;
    dusk::scene::Camera* camera;
    dusk::scene::DirectionalLight* light;
    std::vector<dusk::scene::Tree*> trees;
    dusk::scene::Object* castle;
    dusk::scene::Object* ball;
    ShaderProgram* depthShader;
    ShaderProgram* shadowMapShader;
    ShaderProgram* blinnPhongShader;
    ShaderProgram* skyShader;
    ShaderProgram* lensFlareShader;
    ShaderProgram* particleShader;
    GLuint shadowFramebuffer;   // framebuffer of the shadow pass
    GLuint depthFramebuffer;    // framebuffer of the camera-depth pass
    GLuint shadowDepthTexture;  // shadow map, read through a comparison sampler
    GLuint depthColorTexture;   // camera eye depth in a float colour texture, read by particles
    GLuint depthDepthTexture;   // depth buffer of the camera-depth pass
    std::array<dusk::scene::ParticleSystem*, 4> particleSystems;
    glm::mat4 projection;
    glm::mat4 viewProjection;
    dusk::scene::SkyBox* skyBox;
    dusk::scene::Object* ground;
    ScreenQuad* screenQuad;
    std::vector<ShaderProgram*> shaders;
    int width;
    int height;
    std::vector<glm::vec3> cameraPath;
    std::vector<glm::vec3> ballPath;
    std::vector<glm::vec3> firePositions;
    float pathTime;
    float pathSpeed;
    bool disableNormalMapping;
    bool disableSpecularMapping;
    bool cameraFrozen;
    bool disableSoftParticles;
    bool introRunning;
    bool quitRequested;  // ESC was seen; without a window (headless tools) nothing else ends
    // Made by the first F6 that shows it, never before.
    dusk::DebugOverlay* overlay;
    bool overlayShown;
    // The five passes stamp their GPU times into it while it is set: only while the overlay is
    // shown, so that a hidden overlay leaves the frame's GL calls as they were.
    dusk::GpuTimer* passTimer;
    bool screenshotRequested;                  // by F8, read at the end of the frame's picture
    dusk::ScreenshotWriter* screenshotWriter;  // made by the first F8
    // The overlay's reload button asks in the middle of a frame; the next key poll reloads.
    bool shaderReloadRequested;
    std::string shaderReloadFailure;  // the last reload's failure line, empty after a success

private:
    void setInitialValues(GLFWwindow* window);
    void showOverlay(bool shown);
    void assembleScene();

    // The steps of assembleScene(), in order.
    void openRecordingFile();
    void setInitialGlState();
    void buildShaderPrograms();
    void buildSceneTarget();
    void buildLensFlareProgram();
    void buildScreenQuad();
    void createPhysicsWorld();
    void createCamera();
    void createGround();
    void createSkyBox();
    void createNebulae();
    void createCastle();
    void createBall();
    void createBallGlowAndExplosion();
    void plantTrees();
    void createLight();
    void createShadowTarget();
    void createCameraDepthTarget();
    void placeCameraAtIntroStart();
    void bindSceneTextureForFirstFrame();
};
