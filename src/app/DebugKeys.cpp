#include "app/RenderSettings.h"
#include "game/Game.h"
#include "scene/Camera.h"
#include "scene/Input.h"

#include <iostream>

namespace {

const char* const helpLines[] = {
    "WASD - Move",
    "Ctrl - Scream (to frighten a Kid if you are behind it)",
    "Space - Fly (as long as you have enough magic)",
    "Esc - End game",
    "F1 - Help",
    "F2 - Show Frametime",
    "F3 - Wireframemode (On/Off)",
    "F4 - Texture Samping (Bilinear/Nearest Neighbour)",
    "F5 - Mipmap Mode (Off/Nearest Neighbour/Bilinear)",
    "F9 - Transparency (On/Off)",
    "F10 - Freeze Camera (On/Off)",
    "F11 - Normalmapping (On/Off)",
    "F12 - Specular mapping (On/Off)",
};

void say(const char* line) {
    std::cout << line << std::endl;
}

}  // namespace

void Game::pollDebugKeys() {
    dusk::Input& keys = dusk::input();
    auto down = [&](int key) { return keys.isKeyDown(window, key); };

    // Closing the stream first means an ESC held with SPACE records nothing.
    if (down(GLFW_KEY_ESCAPE)) {
        camDataStream.close();
        quitRequested = true;
        if (window != nullptr) {
            glfwSetWindowShouldClose(window, GLFW_TRUE);
        }
    }
    if (down(GLFW_KEY_F1)) {
        for (const char* line : helpLines) {
            say(line);
        }
    }
    if (down(GLFW_KEY_F2)) {
        renderSettings.showFrametime = !renderSettings.showFrametime;
    }
    if (down(GLFW_KEY_F3)) {
        renderSettings.wireframe = !renderSettings.wireframe;
        say(renderSettings.wireframe ? "enable wireframe mode" : "disable wireframe mode");
    }
    if (down(GLFW_KEY_F4)) {
        renderSettings.bilinearFiltering = !renderSettings.bilinearFiltering;
        say(renderSettings.bilinearFiltering ? "texture sampling bilinear"
                                             : "texture sampling nearest neighbour");
    }
    if (down(GLFW_KEY_F5)) {
        renderSettings.mipmapMode += 1;
        if (renderSettings.mipmapMode > 1) {
            renderSettings.mipmapMode = -1;
        }
        say(renderSettings.mipmapMode == 0   ? "mipmap nearest neighbour"
            : renderSettings.mipmapMode == 1 ? "mipmap bilinear"
                                             : "mipmap off");
    }
    if (down(GLFW_KEY_F9)) {
        disableSoftParticles = !disableSoftParticles;
        say(disableSoftParticles ? "disable soft particles" : "enable soft particles");
    }
    if (down(GLFW_KEY_F10)) {
        cameraFrozen = !cameraFrozen;
    }
    if (down(GLFW_KEY_F11)) {
        disableNormalMapping = !disableNormalMapping;
        say(disableNormalMapping ? "disabled normalmapping" : "enabled normalmapping");
    }
    if (down(GLFW_KEY_F12)) {
        disableSpecularMapping = !disableSpecularMapping;
        say(disableSpecularMapping ? "disabled specular mapping" : "enabled specular mapping");
    }
    if (down(GLFW_KEY_SPACE)) {
        // A closed or failed stream drops the line silently.
        glm::vec3 position = dusk::scene::positionOf(camera->modelMatrix);
        camDataStream << "ballPath.push_back(glm::vec3(" << position.x << "f, " << position.y
                      << "f, " << position.z << "f)); " << std::endl;
    }
}
