#include "ToolWindow.h"

#include "app/Config.h"
#include "app/Startup.h"
#include "render/GL.h"
#include "scene/Input.h"

#include <fstream>
#include <iostream>

namespace dusk::bench {

Game* openGame(int width, int height, bool visible, dusk::Input* input) {
    if (width <= 0 || height <= 0) {
        std::ifstream config("config.txt");
        dusk::WindowSize size = dusk::readWindowSize(config);
        width = size.width;
        height = size.height;
    }
    if (width <= 0 || height <= 0) {
        std::cerr << "dusk_bench: no window size (config.txt missing or bad, and no --size)"
                  << std::endl;
        return nullptr;
    }
    windowWidth = width;
    windowHeight = height;

    GLFWwindow* window = nullptr;
    if (glfwInit()) {
        setContextHints();
        glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
        // The window's own title, so that nothing that looks for the demo's window finds it.
        window = glfwCreateWindow(width, height, "Dusklorne bench", nullptr, nullptr);
    }
    if (window == nullptr) {
        std::cerr << "dusk_bench: could not open a " << width << "x" << height << " window"
                  << std::endl;
        glfwTerminate();
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::cerr << "dusk_bench: could not load the GL entry points" << std::endl;
        glfwTerminate();
        return nullptr;
    }
    // As in the demo: GLEW's harmless GL_INVALID_ENUM on core profiles is not ours.
    while (glGetError() != GL_NO_ERROR) {
    }

    dusk::setInput(input);
    createGame(window);
    glClearColor(0.8f, 0.8f, 0.8f, 0.8f);
    glViewport(0, 0, width, height);
    return gameInstance;
}

const char* rendererName() {
    const GLubyte* name = glGetString(GL_RENDERER);
    return name != nullptr ? reinterpret_cast<const char*>(name) : "unknown renderer";
}

}  // namespace dusk::bench
