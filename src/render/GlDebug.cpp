#include "render/GlDebug.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <string_view>
#include <unordered_set>

namespace dusk {

bool glDebugOn = false;

namespace {

const char* severityName(GLenum severity) {
    switch (severity) {
    case GL_DEBUG_SEVERITY_HIGH:
        return "high";
    case GL_DEBUG_SEVERITY_MEDIUM:
        return "medium";
    case GL_DEBUG_SEVERITY_LOW:
        return "low";
    default:
        return "notification";
    }
}

// A driver repeats the same message every frame: each is printed the first time only. Kept
// as hashes, so that a repeat costs no allocation.
void GLAPIENTRY printDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                                  GLsizei length, const GLchar* message, const void*) {
    static std::unordered_set<size_t> seen;
    const std::string_view text(message, length >= 0 ? size_t(length) : std::strlen(message));
    const size_t key = std::hash<std::string_view>()(text) ^ (size_t(source) << 1) ^
                       (size_t(type) << 17) ^ (size_t(id) << 33);
    if (seen.insert(key).second) {
        std::cout << "GL debug message " << id << " (" << severityName(severity) << "): " << text
                  << std::endl;
    }
}

}  // namespace

bool glDebugRequested() {
    const char* value = std::getenv("DUSK_GL_DEBUG");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

void startGlDebug() {
    if (!glDebugRequested()) {
        return;
    }
    if (!GLEW_KHR_debug) {
        std::cout << "DUSK_GL_DEBUG: the driver does not offer GL_KHR_debug" << std::endl;
        return;
    }
    glDebugOn = true;
    glEnable(GL_DEBUG_OUTPUT);
    // On the calling thread, right after the call that caused it: the console stays one
    // thread's, and a message follows what it is about.
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(printDebugMessage, nullptr);
    // Every message of the driver, the low ones too (off by default); the groups' own push and
    // pop notices are ours, not the driver's.
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    glDebugMessageControl(GL_DEBUG_SOURCE_APPLICATION, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr,
                          GL_FALSE);
}

void labelGlObject(GLenum identifier, GLuint name, const std::string& label) {
    if (glDebugOn) {
        glObjectLabel(identifier, name, static_cast<GLsizei>(label.size()), label.c_str());
    }
}

DebugGroup::DebugGroup(const char* name) : pushed(glDebugOn) {
    if (pushed) {
        glPushDebugGroup(GL_DEBUG_SOURCE_APPLICATION, 0, -1, name);
    }
}

DebugGroup::~DebugGroup() {
    if (pushed) {
        glPopDebugGroup();
    }
}

}  // namespace dusk
