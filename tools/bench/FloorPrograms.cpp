#include "FloorPrograms.h"

#include "game/Game.h"
#include "render/RenderTarget.h"
#include "render/ScreenQuad.h"
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

// Gives `floor` the attribute locations that `real` ended up with, so that every vertex array
// set up for the real program (the screen quad looked its locations up) feeds the floor one.
void copyAttributeLocations(GLuint real, GLuint floor) {
    GLint count = 0;
    glGetProgramiv(real, GL_ACTIVE_ATTRIBUTES, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = "";
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(real, static_cast<GLuint>(i), sizeof(name), nullptr, &size, &type, name);
        GLint location = glGetAttribLocation(real, name);
        if (location >= 0 && std::string(name).compare(0, 3, "gl_") != 0) {
            glBindAttribLocation(floor, static_cast<GLuint>(location), name);
        }
    }
}

}  // namespace

FloorPrograms::FloorPrograms(Game& game)
    : fragmentShader(0), linked(true), game(game), realTarget(game.sceneTarget), activeUnit(0),
      boundTexture(0) {
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    floorTarget = new RenderTarget(game.width, game.height);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
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
            char log[1024] = "";
            glGetProgramInfoLog(floor, sizeof(log), nullptr, log);
            std::cerr << "dusk_bench: a floor program did not link: " << log << std::endl;
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
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    game.sceneTarget = floorTarget;
    game.screenQuad->colorTexture = floorTarget->colorTexture;
}

void FloorPrograms::deactivate() {
    for (Entry& entry : entries) {
        entry.shader->program = entry.realProgram;
    }
    game.sceneTarget = realTarget;
    game.screenQuad->colorTexture = realTarget->colorTexture;
    glActiveTexture(static_cast<GLenum>(activeUnit));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
}

}  // namespace dusk::bench
