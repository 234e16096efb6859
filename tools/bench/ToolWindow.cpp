#include "ToolWindow.h"

#include "BenchOptions.h"
#include "HeadlessContext.h"

#include "app/Config.h"
#include "app/Startup.h"
#include "render/GL.h"
#include "scene/Input.h"

#include <fstream>
#include <iostream>

namespace dusk::bench {

namespace {

const char* glText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "unknown";
}

}  // namespace

int openGame(const Options& options, dusk::Input* input, HeadlessContext* headless, Game** game) {
    int width = options.width;
    int height = options.height;
    if (width <= 0 || height <= 0) {
        std::ifstream config("config.txt");
        dusk::WindowSize size = dusk::readWindowSize(config);
        width = size.width;
        height = size.height;
    }
    if (width <= 0 || height <= 0 || width > largestWindowSize || height > largestWindowSize) {
        std::cerr << "dusk_bench: no window size up to 32767x32767 (config.txt missing or bad, "
                  << "and no --size)" << std::endl;
        return 1;
    }
    windowWidth = width;
    windowHeight = height;

    GLFWwindow* window = nullptr;
    if (options.headless) {
        const int failure = headless->open(options.device, width, height);
        if (failure != 0) {
            return failure;
        }
    } else {
        if (glfwInit()) {
            setContextHints();
            glfwWindowHint(GLFW_VISIBLE, options.visible ? GLFW_TRUE : GLFW_FALSE);
            // The window's own title, so that nothing that looks for the demo's window finds it.
            window = glfwCreateWindow(width, height, "Dusklorne bench", nullptr, nullptr);
        }
        if (window == nullptr) {
            std::cerr << "dusk_bench: could not open a " << width << "x" << height << " window"
                      << std::endl;
            glfwTerminate();
            return 1;
        }
        glfwMakeContextCurrent(window);
    }
    glewExperimental = GL_TRUE;
    const GLenum loader = glewInit();
    // Debian's GLEW is built for GLX: it loads the GL entry points first, then looks for the
    // current GLX display, and headless there is none (GLEW_ERROR_NO_GLX_DISPLAY). The entry
    // points are loaded by then (through GLVND's dispatch, which serves the EGL context too), so
    // that failure is accepted when the last ones the demo and this tool need are there.
    const bool loaded =
        loader == GLEW_OK ||
        (options.headless && loader == GLEW_ERROR_NO_GLX_DISPLAY && glGenVertexArrays != nullptr &&
         glGenerateMipmap != nullptr && glQueryCounter != nullptr);
    if (!loaded) {
        std::cerr << "dusk_bench: could not load the GL entry points" << std::endl;
        glfwTerminate();
        return 1;
    }
    // As in the demo: GLEW's harmless GL_INVALID_ENUM on core profiles is not ours.
    while (glGetError() != GL_NO_ERROR) {
    }

    dusk::setInput(input);
    createGame(window);
    glViewport(0, 0, width, height);
    *game = gameInstance;
    return 0;
}

const char* rendererName() {
    return glText(GL_RENDERER);
}

std::string rendererLine() {
    return std::string(glText(GL_VENDOR)) + ", " + glText(GL_RENDERER) + ", " + glText(GL_VERSION);
}

}  // namespace dusk::bench
