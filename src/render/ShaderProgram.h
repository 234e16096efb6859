#pragma once

#include "render/GL.h"

#include <string>

// One linked program from a vertex and a fragment file. Any failure to read, compile or link
// ends the process with a message; a constructed program is always usable.
class ShaderProgram {
public:
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);

    static void compileShader(const std::string& path, GLenum type, GLuint* destination);
    void link();

    GLuint program;         // program object, handed to glUseProgram by every user
    GLuint vertexShader;    // compiled vertex shader object
    GLuint fragmentShader;  // compiled fragment shader object
};
