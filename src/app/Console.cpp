#include "app/Console.h"

#include "app/Platform.h"
#include "render/GL.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace dusk {

void pauseConsole() {
    if (!standardInputIsInteractive()) {
        return;
    }
    std::string line;
    std::getline(std::cin, line);
}

void waitForCharacter() {
    if (standardInputIsInteractive()) {
        std::cin.get();
    }
}

void reportIfMissing(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error) || error) {
        return;
    }
    const std::filesystem::path folder = std::filesystem::current_path(error);
    std::cout << "Could not find " << path << " in " << folder.u8string()
              << " (the folder Dusklorne was started in)" << std::endl;
}

void failStartup(const char* message, bool terminateWindowLibrary) {
    std::cout << message << std::endl;
    if (terminateWindowLibrary) {
        glfwTerminate();
    }
    pauseConsole();
    std::exit(1);
}

}  // namespace dusk
