#include "FloorPrograms.h"

#include "game/Game.h"
#include "render/ShaderProgram.h"

#include <iostream>
#include <string>

namespace dusk::bench {

namespace {

const char* const floorFragmentSource = "#version 330 core\n"
                                        "layout(location = 0) out vec4 floorColor;\n"
                                        "void main() {\n"
                                        "    floorColor = vec4(0.5, 0.5, 0.5, 0.5);\n"
                                        "}\n";

std::string programLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, &log[0]);
    return log.c_str();
}

// Gives `floor` the attribute locations that `real` ended up with, so that every vertex array
// set up for the real program (the screen quad looked its locations up) feeds the floor one.
void copyAttributeLocations(GLuint real, GLuint floor) {
    GLint count = 0;
    GLint longest = 0;
    glGetProgramiv(real, GL_ACTIVE_ATTRIBUTES, &count);
    glGetProgramiv(real, GL_ACTIVE_ATTRIBUTE_MAX_LENGTH, &longest);
    std::string name(static_cast<size_t>(longest > 0 ? longest : 1), '\0');
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(real, static_cast<GLuint>(i), static_cast<GLsizei>(name.size()), &length,
                          &size, &type, &name[0]);
        std::string attribute(name.c_str(), static_cast<size_t>(length));
        GLint location = glGetAttribLocation(real, attribute.c_str());
        if (location >= 0 && attribute.compare(0, 3, "gl_") != 0) {
            glBindAttribLocation(floor, static_cast<GLuint>(location), attribute.c_str());
        }
    }
}

}  // namespace

FloorPrograms::FloorPrograms(Game& game) : fragmentShader(0), linked(true) {
    fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(fragmentShader, 1, &floorFragmentSource, nullptr);
    glCompileShader(fragmentShader);

    ShaderProgram* programs[] = {game.blinnPhongShader, game.skyShader,      game.shadowMapShader,
                                 game.depthShader,      game.particleShader, game.lensFlareShader};
    for (ShaderProgram* shader : programs) {
        if (shader == nullptr) {
            continue;
        }
        GLuint floor = glCreateProgram();
        glAttachShader(floor, shader->vertexShader);
        glAttachShader(floor, fragmentShader);
        copyAttributeLocations(shader->program, floor);
        glLinkProgram(floor);
        GLint ok = 0;
        glGetProgramiv(floor, GL_LINK_STATUS, &ok);
        if (ok == 0) {
            std::cerr << "dusk_bench: a floor program did not link: " << programLog(floor)
                      << std::endl;
            linked = false;
        }
        // The one uniform the Game sets once rather than every frame (on the screen quad's
        // program); any other program ignores it.
        glUseProgram(floor);
        glUniform1i(glGetUniformLocation(floor, "transparencyFlag"), 1);
        entries.push_back(Entry{shader, shader->program, floor});
    }
}

void FloorPrograms::activate() {
    for (Entry& entry : entries) {
        entry.shader->program = entry.floorProgram;
    }
}

void FloorPrograms::deactivate() {
    for (Entry& entry : entries) {
        entry.shader->program = entry.realProgram;
    }
}

}  // namespace dusk::bench
