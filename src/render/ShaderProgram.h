#pragma once

#include "render/GL.h"

#include <string>

// One linked program from a vertex and a fragment file. At start-up any failure to read,
// compile or link ends the process with a message; a constructed program is always usable.
// Built again while running (a reload), a failure is reported instead and changes nothing.
class ShaderProgram {
public:
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);
    // Holds no GL objects: the place buildAgain fills.
    ShaderProgram();

    static void compileShader(const std::string& path, GLenum type, GLuint* destination);
    void link();

    // Reads, compiles and links this program's files again into new GL objects in `fresh`,
    // leaving this one as it is. False when any step fails: then `fresh` holds nothing, what it
    // had made is deleted, and `failure` names the file and holds the driver's log.
    bool buildAgain(ShaderProgram* fresh, std::string* failure) const;
    // Deletes the program and its two shaders.
    void deleteObjects();

    GLuint program;          // program object, handed to glUseProgram by every user
    GLuint vertexShader;     // compiled vertex shader object
    GLuint fragmentShader;   // compiled fragment shader object
    std::string vertexPath;  // the files it was built from, read again by a reload
    std::string fragmentPath;
};

namespace dusk {

// A shader of the program's own, compiled from its text; a failure, a fault of ours, is printed
// with the driver's log.
GLuint compiledShader(GLenum type, const char* source);

}  // namespace dusk
