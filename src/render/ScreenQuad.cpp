#include "render/ScreenQuad.h"

#include "render/GlDebug.h"
#include "render/ShaderProgram.h"

namespace {

const GLfloat quadPositions[18] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0};
const GLfloat quadUvs[12] = {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1};

// Points a named attribute at the bound buffer; a program without it simply goes without.
void describeAttribute(GLuint program, const char* name, GLint components) {
    GLint location = glGetAttribLocation(program, name);
    if (location < 0) {
        return;
    }
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0,
                          nullptr);
}

}  // namespace

ScreenQuad::ScreenQuad(ShaderProgram* program, GLuint colorTexture, GLuint depthTexture)
    : program(program), colorTexture(colorTexture), depthTexture(depthTexture), positionBuffer(0),
      uvBuffer(0), vertexArray(0) {
    glGenBuffers(1, &positionBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadPositions), quadPositions, GL_STATIC_DRAW);
    glGenBuffers(1, &uvBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadUvs), quadUvs, GL_STATIC_DRAW);
    glGenVertexArrays(1, &vertexArray);
    prepareProgram();
    dusk::labelGlObject(GL_BUFFER, positionBuffer, "screen quad positions");
    dusk::labelGlObject(GL_BUFFER, uvBuffer, "screen quad texture coordinates");
    dusk::labelGlObject(GL_VERTEX_ARRAY, vertexArray, "screen quad");
}

void ScreenQuad::prepareProgram() {
    glUseProgram(program->program);
    glUniform1i(glGetUniformLocation(program->program, "transparencyFlag"), 1);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffer);
    describeAttribute(program->program, "position", 3);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    describeAttribute(program->program, "uv", 2);
    glBindVertexArray(0);
}

void ScreenQuad::draw() {
    glUseProgram(program->program);
    glUniform1i(glGetUniformLocation(program->program, "sceneTexture"), 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    glBindVertexArray(vertexArray);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
}
