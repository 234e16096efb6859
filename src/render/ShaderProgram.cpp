#include "render/ShaderProgram.h"

#include "app/Console.h"
#include "render/LoadTimers.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace {

[[noreturn]] void failBuild(const std::string& message) {
    std::cout << message << std::endl;
    dusk::pauseConsole();
    std::exit(1);
}

}  // namespace

ShaderProgram::ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath)
    : program(0), vertexShader(0), fragmentShader(0) {
    dusk::ScopedLoadTimer timer(dusk::loadTimers.shaderSeconds);
    program = glCreateProgram();
    if (program == 0) {
        std::cout << "ERROR: Could not create Program.." << std::endl;
        std::exit(1);
    }
    // The vertex file is compiled before the fragment file is even opened.
    compileShader(vertexPath, GL_VERTEX_SHADER, &vertexShader);
    compileShader(fragmentPath, GL_FRAGMENT_SHADER, &fragmentShader);
    link();
}

void ShaderProgram::compileShader(const std::string& path, GLenum type, GLuint* destination) {
    std::ifstream file(path);
    // A directory opens as a stream on Linux but reads as nothing.
    std::error_code error;
    if (!file.good() || std::filesystem::is_directory(path, error)) {
        dusk::reportIfMissing(path);
        failBuild("ERROR: Could not load file");
    }
    std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();

    *destination = glCreateShader(type);
    if (*destination == 0) {
        failBuild("ERROR: Could not create shader");
    }
    const char* text = source.c_str();
    glShaderSource(*destination, 1, &text, nullptr);
    glCompileShader(*destination);

    GLint compiled = 0;
    glGetShaderiv(*destination, GL_COMPILE_STATUS, &compiled);
    if (compiled != 0) {
        return;
    }
    GLint logLength = 0;
    glGetShaderiv(*destination, GL_INFO_LOG_LENGTH, &logLength);
    // A driver may report an empty log; keep room for the terminating zero all the same.
    std::vector<char> log(static_cast<size_t>(logLength > 0 ? logLength : 1), '\0');
    glGetShaderInfoLog(*destination, static_cast<GLsizei>(log.size()), nullptr, log.data());
    failBuild(std::string(log.data()) + " check");
}

void ShaderProgram::link() {
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);

    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != 0) {
        return;
    }
    GLint logLength = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &logLength);
    std::vector<char> log(static_cast<size_t>(logLength > 0 ? logLength : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    failBuild(std::string(log.data()));
}
