#pragma once

#include "render/GL.h"

#include <string>

namespace dusk {

// Help for frame debuggers (apitrace, RenderDoc), asked for with DUSK_GL_DEBUG=1: a debug
// context, the driver's messages on the console, each pass in a named group and every texture,
// framebuffer, buffer and program labelled with what it holds. Without the variable, or where
// the driver lacks GL_KHR_debug, none of it makes a GL call.

// True when the environment holds DUSK_GL_DEBUG=1.
bool glDebugRequested();

// With the entry points loaded: when asked for and offered, prints the driver's messages from
// now on and turns the groups and labels on. Says on the console when it cannot.
void startGlDebug();

// On once startGlDebug has found it asked for and offered.
extern bool glDebugOn;

// Names a GL object (GL_TEXTURE, GL_FRAMEBUFFER, GL_BUFFER, GL_PROGRAM, ...) that has been bound
// or made already.
void labelGlObject(GLenum identifier, GLuint name, const std::string& label);

// A named debug group from here to the end of the scope.
class DebugGroup {
public:
    explicit DebugGroup(const char* name);
    ~DebugGroup();
    DebugGroup(const DebugGroup&) = delete;
    DebugGroup& operator=(const DebugGroup&) = delete;

private:
    bool pushed;
};

}  // namespace dusk
