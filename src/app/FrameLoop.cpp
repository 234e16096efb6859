#include "app/FrameLoop.h"

#include "app/RenderSettings.h"
#include "app/Screenshot.h"
#include "app/Startup.h"
#include "game/Game.h"
#include "scene/DirectionalLight.h"
#include "scene/Object.h"
#include "render/GL.h"

#include <cmath>
#include <iostream>

namespace dusk {

void writeFrameRateLine(std::ostream& out, float frameTime) {
    float rate = 1.0f / frameTime;
    // Only a finite rate in the int range converts; a zero frame time would give infinity.
    int figure = (frameTime > 0.0f && rate < 2147483520.0f) ? static_cast<int>(rate) : 0;
    out << figure << " FPS / Frametime: " << frameTime << "s" << std::endl;
}

int drainGlErrors(std::ostream& out, GlErrorSource nextError) {
    int count = 0;
    while ((nextError != nullptr ? nextError() : glGetError()) != GL_NO_ERROR) {
        out << "ERROR: OpenGL!" << std::endl;
        ++count;
    }
    return count;
}

}  // namespace dusk

void runFrameLoop() {
    Game* game = gameInstance;
    GLFWwindow* window = game->window;
    double lastFrameStamp = glfwGetTime();
    double lastKeyPollStamp = glfwGetTime();

    while (!glfwWindowShouldClose(window)) {
        double now = glfwGetTime();
        float frameTime = static_cast<float>(now - lastFrameStamp);
        lastFrameStamp = now;

        // Key handling and console output at most ten times a second, whatever the frame rate.
        if (glfwGetTime() - lastKeyPollStamp > 0.1) {
            game->pollDebugKeys();
            if (renderSettings.showFrametime) {
                dusk::writeFrameRateLine(std::cout, frameTime);
            }
            lastKeyPollStamp = glfwGetTime();
        }

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        game->update(frameTime);
        game->render();
        glfwSwapBuffers(window);
        glfwPollEvents();
        dusk::drainGlErrors(std::cout);
    }

    // A screenshot still being written at ESC is finished and reported, never cut off.
    delete game->screenshotWriter;
    game->screenshotWriter = nullptr;
    delete game->light;
    game->light = nullptr;
    delete game->ground;
    game->ground = nullptr;
    game->trees.clear();
    game->shaders.clear();
}
