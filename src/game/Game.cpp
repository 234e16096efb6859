#include "game/Game.h"

#include "app/Startup.h"

Game::Game(GLFWwindow* window, bool assemble) {
    setInitialValues(window);
    buildBallPath();
    cameraPath = ballPath;
    firePositions.push_back(glm::vec3(9.0f, 35.0f, -3.0f));
    if (assemble) {
        assembleScene();
    }
}

void Game::setInitialValues(GLFWwindow* gameWindow) {
    window = gameWindow;
    width = windowWidth;
    height = windowHeight;
    sceneTarget = nullptr;
    camera = nullptr;
    light = nullptr;
    castle = nullptr;
    ball = nullptr;
    depthShader = nullptr;
    shadowMapShader = nullptr;
    blinnPhongShader = nullptr;
    skyShader = nullptr;
    lensFlareShader = nullptr;
    particleShader = nullptr;
    shadowFramebuffer = 0;
    depthFramebuffer = 0;
    shadowDepthTexture = 0;
    depthColorTexture = 0;
    depthDepthTexture = 0;
    particleSystems.fill(nullptr);
    projection = glm::mat4(1.0f);
    viewProjection = glm::mat4(1.0f);
    skyBox = nullptr;
    ground = nullptr;
    screenQuad = nullptr;
    pathTime = -0.1f;
    pathSpeed = 0.04f;
    disableNormalMapping = false;
    disableSpecularMapping = false;
    cameraFrozen = false;
    disableSoftParticles = false;
    introRunning = true;
    overlay = nullptr;
    overlayShown = false;
    passTimer = nullptr;
    screenshotRequested = false;
    screenshotWriter = nullptr;
    quitRequested = false;
    shaderReloadRequested = false;
}

void Game::buildBallPath() {
    // The intro flight's control points. Repeated points belong to the data: they pull the
    // curve toward them.
    static const glm::vec3 points[] = {
        {-96.2405f, 5.84183f, 2.36629f},   {-71.5067f, 11.1463f, -16.9241f},
        {-8.34482f, 22.3499f, -69.003f},   {54.5915f, 26.1151f, -57.0736f},
        {54.5915f, 26.1151f, -57.0736f},   {85.9157f, 28.2845f, -14.8822f},
        {86.5004f, 28.2845f, -14.3362f},   {64.7675f, 36.143f, 66.5891f},
        {11.2138f, 33.2583f, 88.543f},     {10.6126f, 33.2583f, 89.0707f},
        {-65.6213f, 30.4491f, 80.7421f},   {-104.354f, 23.0356f, 42.1472f},
        {-93.4103f, 16.1767f, -35.7959f},  {-144.0959f, -26.05801f, -10.4042f},
        {-70.9903f, 2.44763f, -10.70265f}, {-16.3247f, 3.66444f, 4.24642f},
        {13.2832f, 4.96344f, 17.4412f},    {13.2832f, 4.96344f, 17.4412f},
        {25.9771f, 5.01231f, 6.77899f},    {15.4672f, 5.56758f, -12.3117f},
        {2.32229f, 4.07626f, 2.03793f},    {-5.21729f, 3.88094f, 9.47971f},
        {-23.1478f, -38.98209f, 3.93961f}, {-23.1478f, -8.98209f, 3.93961f},
        {-51.8182f, 61.841f, 3.46925f},    {-112.31f, 36.2093f, 6.17845f},
        {-67.3348f, 32.5682f, -1.05269f},  {-62.7888f, 30.571f, 2.67695f},
        {43.4392f, 31.7242f, -5.37698f},   {23.7951f, 31.1753f, -1.71746f},
        {23.7951f, 31.1753f, -1.71746f},
    };
    for (const glm::vec3& point : points) {
        ballPath.push_back(point);
    }
}
