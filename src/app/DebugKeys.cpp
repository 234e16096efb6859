#include "app/DebugOverlay.h"
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

// The keys in the order the poll tests them; several can act in one poll.
const int polledKeys[] = {GLFW_KEY_ESCAPE, GLFW_KEY_F1,  GLFW_KEY_F2,  GLFW_KEY_F3,   GLFW_KEY_F4,
                          GLFW_KEY_F5,     GLFW_KEY_F6,  GLFW_KEY_F7,  GLFW_KEY_F8,   GLFW_KEY_F9,
                          GLFW_KEY_F10,    GLFW_KEY_F11, GLFW_KEY_F12, GLFW_KEY_SPACE};

}  // namespace

void Game::pollDebugKeys() {
    dusk::Input& keys = dusk::input();
    for (int key : polledKeys) {
        if (keys.isKeyDown(window, key)) {
            actOnKey(key);
        }
    }
    if (shaderReloadRequested) {
        shaderReloadRequested = false;
        reloadShaders();
    }
}

void Game::actOnKey(int key) {
    switch (key) {
    case GLFW_KEY_ESCAPE:
        // Closing the stream first means an ESC held with SPACE records nothing.
        camDataStream.close();
        quitRequested = true;
        if (window != nullptr) {
            glfwSetWindowShouldClose(window, GLFW_TRUE);
        }
        break;
    case GLFW_KEY_F1:
        for (const char* line : helpLines) {
            say(line);
        }
        break;
    case GLFW_KEY_F2:
        renderSettings.showFrametime = !renderSettings.showFrametime;
        break;
    case GLFW_KEY_F3:
        renderSettings.wireframe = !renderSettings.wireframe;
        say(renderSettings.wireframe ? "enable wireframe mode" : "disable wireframe mode");
        break;
    case GLFW_KEY_F4:
        renderSettings.bilinearFiltering = !renderSettings.bilinearFiltering;
        say(renderSettings.bilinearFiltering ? "texture sampling bilinear"
                                             : "texture sampling nearest neighbour");
        break;
    case GLFW_KEY_F5:
        renderSettings.mipmapMode += 1;
        if (renderSettings.mipmapMode > 1) {
            renderSettings.mipmapMode = -1;
        }
        say(renderSettings.mipmapMode == 0   ? "mipmap nearest neighbour"
            : renderSettings.mipmapMode == 1 ? "mipmap bilinear"
                                             : "mipmap off");
        break;
    case GLFW_KEY_F6:
        showOverlay(!overlayShown);
        say(overlayShown ? "enable overlay" : "disable overlay");
        break;
    case GLFW_KEY_F7:
        reloadShaders();
        break;
    case GLFW_KEY_F8:
        screenshotRequested = true;
        break;
    case GLFW_KEY_F9:
        disableSoftParticles = !disableSoftParticles;
        say(disableSoftParticles ? "disable soft particles" : "enable soft particles");
        break;
    case GLFW_KEY_F10:
        cameraFrozen = !cameraFrozen;
        break;
    case GLFW_KEY_F11:
        disableNormalMapping = !disableNormalMapping;
        say(disableNormalMapping ? "disabled normalmapping" : "enabled normalmapping");
        break;
    case GLFW_KEY_F12:
        disableSpecularMapping = !disableSpecularMapping;
        say(disableSpecularMapping ? "disabled specular mapping" : "enabled specular mapping");
        break;
    case GLFW_KEY_SPACE: {
        // A closed or failed stream drops the line silently.
        glm::vec3 position = dusk::scene::positionOf(camera->modelMatrix);
        camDataStream << "ballPath.push_back(glm::vec3(" << position.x << "f, " << position.y
                      << "f, " << position.z << "f)); " << std::endl;
        break;
    }
    default:
        break;
    }
}

// Shown, the pointer is free to click the overlay and mouse look pauses; keyboard flight goes
// on. Hidden, the pointer is hidden and held at the centre again, as at start.
void Game::showOverlay(bool shown) {
    if (shown && overlay == nullptr) {
        overlay = new dusk::DebugOverlay(this);
    }
    if (shown) {
        overlay->restart();
    } else if (overlay != nullptr) {
        overlay->showView(dusk::DebugOverlay::finalPicture);
    }
    overlayShown = shown;
    passTimer = shown ? overlay->passTimer : nullptr;
    if (window != nullptr) {
        glfwSetInputMode(window, GLFW_CURSOR, shown ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
    }
    if (camera != nullptr) {
        camera->pauseMouseLook(shown);
    }
}
