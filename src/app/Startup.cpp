#include "app/Startup.h"

#include "app/Config.h"
#include "app/Console.h"
#include "app/FrameLoop.h"
#include "game/Game.h"
#include "render/GlDebug.h"

#include <fstream>

int windowWidth = 0;
int windowHeight = 0;
Game* gameInstance = nullptr;

void setContextHints() {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    if (dusk::glDebugRequested()) {
        glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    }
}

void createGame(GLFWwindow* window) {
    if (window != nullptr) {  // null: a headless tool's pbuffer
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    gameInstance = new Game(window);
    // Also the scene target's clear colour: the fog below the horizon, and an alpha (read by the
    // lens flare) below its source threshold.
    glClearColor(0.8f, 0.8f, 0.8f, 0.8f);
}

int runDusklorne() {
    // The file stays open until the program returns; a missing file reads as two empty tokens.
    std::ifstream config("config.txt");
    dusk::WindowSize size = dusk::readWindowSize(config);
    windowWidth = size.width;
    windowHeight = size.height;

    if (!glfwInit()) {
        dusk::failStartup("ERROR: Could not init glfw.", false);
    }
    setContextHints();

    // The window library refuses sizes of 0 and aborts on negative ones, and the X server keeps
    // only the low 16 bits of larger ones (then Xlib or the GL driver ends the process): all of
    // them are the window failure.
    GLFWwindow* window = nullptr;
    if (windowWidth > 0 && windowHeight > 0 && windowWidth <= largestWindowSize &&
        windowHeight <= largestWindowSize) {
        window = glfwCreateWindow(windowWidth, windowHeight, "Dusklorne", nullptr, nullptr);
    }
    if (window == nullptr) {
        dusk::reportIfMissing("config.txt");
        dusk::failStartup("ERROR: Could not open window.", true);
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        dusk::failStartup("ERROR: Could not init glew.", true);
    }
    // GLEW's loader trips over core profiles with a harmless GL_INVALID_ENUM; drop it so the
    // first frame reports only errors of our own.
    while (glGetError() != GL_NO_ERROR) {
    }
    dusk::startGlDebug();  // before anything is made, so that everything gets its label

    createGame(window);
    glViewport(0, 0, windowWidth, windowHeight);
    runFrameLoop();
    glfwTerminate();
    return 0;
}
