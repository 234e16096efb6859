#include "render/ShaderProgram.h"

#include "app/Console.h"
#include "render/GlDebug.h"
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

enum class Step { done, unreadable, noObject, failed };

// The driver's log without the line end it closes with; an empty log keeps room for the zero.
std::string logText(GLuint object, bool isProgram) {
    GLint logLength = 0;
    (isProgram ? glGetProgramiv : glGetShaderiv)(object, GL_INFO_LOG_LENGTH, &logLength);
    std::vector<char> log(static_cast<size_t>(logLength > 0 ? logLength : 1), '\0');
    (isProgram ? glGetProgramInfoLog : glGetShaderInfoLog)(object, static_cast<GLsizei>(log.size()),
                                                           nullptr, log.data());
    return log.data();
}

// Reads and compiles one file into a new shader object in `destination` (0 when none was
// made); `log` gets the driver's log of a failed compile.
Step compileFile(const std::string& path, GLenum type, GLuint* destination, std::string* log) {
    *destination = 0;
    std::ifstream file(path);
    // A directory opens as a stream on Linux but reads as nothing.
    std::error_code error;
    if (!file.good() || std::filesystem::is_directory(path, error)) {
        return Step::unreadable;
    }
    std::string source((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    file.close();

    *destination = glCreateShader(type);
    if (*destination == 0) {
        return Step::noObject;
    }
    const char* text = source.c_str();
    glShaderSource(*destination, 1, &text, nullptr);
    glCompileShader(*destination);
    GLint compiled = 0;
    glGetShaderiv(*destination, GL_COMPILE_STATUS, &compiled);
    if (compiled != 0) {
        return Step::done;
    }
    *log = logText(*destination, false);
    return Step::failed;
}

Step linkProgram(GLuint program, GLuint vertexShader, GLuint fragmentShader, std::string* log) {
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != 0) {
        return Step::done;
    }
    *log = logText(program, true);
    return Step::failed;
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

ShaderProgram::ShaderProgram() : program(0), vertexShader(0), fragmentShader(0) {}

ShaderProgram::ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath)
    : program(0), vertexShader(0), fragmentShader(0), vertexPath(vertexPath),
      fragmentPath(fragmentPath) {
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
    dusk::labelGlObject(GL_PROGRAM, program, fileName(vertexPath) + " + " + fileName(fragmentPath));
}

void ShaderProgram::compileShader(const std::string& path, GLenum type, GLuint* destination) {
    std::string log;
    switch (compileFile(path, type, destination, &log)) {
    case Step::unreadable:
        dusk::reportIfMissing(path);
        failBuild("ERROR: Could not load file");
    case Step::noObject:
        failBuild("ERROR: Could not create shader");
    case Step::failed:
        failBuild(log + " check");
    case Step::done:
        break;
    }
}

void ShaderProgram::link() {
    std::string log;
    if (linkProgram(program, vertexShader, fragmentShader, &log) != Step::done) {
        failBuild(log);
    }
}

bool ShaderProgram::buildAgain(ShaderProgram* fresh, std::string* failure) const {
    fresh->vertexPath = vertexPath;
    fresh->fragmentPath = fragmentPath;
    fresh->program = glCreateProgram();
    std::string log;
    std::string failedFiles = vertexPath;
    Step step = fresh->program == 0 ? Step::noObject : Step::done;
    if (step == Step::done) {
        step = compileFile(vertexPath, GL_VERTEX_SHADER, &fresh->vertexShader, &log);
    }
    if (step == Step::done) {
        failedFiles = fragmentPath;
        step = compileFile(fragmentPath, GL_FRAGMENT_SHADER, &fresh->fragmentShader, &log);
    }
    if (step == Step::done) {
        failedFiles = vertexPath + " + " + fragmentPath;  // a link log concerns both
        step = linkProgram(fresh->program, fresh->vertexShader, fresh->fragmentShader, &log);
    }
    if (step == Step::done) {
        dusk::labelGlObject(GL_PROGRAM, fresh->program,
                            fileName(vertexPath) + " + " + fileName(fragmentPath));
        return true;
    }
    if (step != Step::failed) {
        log = step == Step::unreadable ? "could not be read" : "no GL object could be made";
    }
    *failure = failedFiles + ": " + log.substr(0, log.find_last_not_of("\n ") + 1);
    fresh->deleteObjects();
    return false;
}

void ShaderProgram::deleteObjects() {
    // Deleted while attached or in use, the GL frees them once they are neither.
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);
    glDeleteProgram(program);
    program = vertexShader = fragmentShader = 0;
}

namespace dusk {

GLuint compiledShader(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        std::cout << "ERROR: built-in shader does not compile: " << logText(shader, false)
                  << std::endl;
    }
    return shader;
}

}  // namespace dusk
