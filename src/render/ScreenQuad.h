#pragma once

#include "render/GL.h"

class ShaderProgram;

// Two triangles over the whole window that show the scene texture through the lens-flare program.
class ScreenQuad {
public:
    ScreenQuad(ShaderProgram* program, GLuint colorTexture, GLuint depthTexture);

    void draw();
    // What the program is given once: the transparency flag, and where its attributes are in
    // the vertex array. Again after the program was built anew.
    void prepareProgram();

    ShaderProgram* program;  // not owned: the lens-flare program
    GLuint colorTexture;     // the scene colour texture, shown on the quad
    GLuint depthTexture;     // the scene depth texture, kept but not drawn
    GLuint positionBuffer;   // six clip-space corners
    GLuint uvBuffer;         // six texture coordinates
    GLuint vertexArray;      // vertex array object over both buffers
};
