#include "app/Console.h"

#include "render/GL.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace dusk {

static bool stdinIsTerminal() {
    return isatty(STDIN_FILENO) == 1;
}

void pauseConsole() {
    if (!stdinIsTerminal()) {
        return;
    }
    std::string line;
    std::getline(std::cin, line);
}

void waitForCharacter() {
    if (stdinIsTerminal()) {
        std::cin.get();
    }
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
