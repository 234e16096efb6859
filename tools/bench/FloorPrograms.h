#pragma once

#include "render/GL.h"

#include <vector>

class Game;
class RenderTarget;
class ShaderProgram;

namespace dusk::bench {

// For every program of the Game a floor program: the same compiled vertex shader, with the
// same attribute locations, and a fragment shader that writes one constant colour. It covers
// the same pixels with the same depth (fragment shaders that discard or write gl_FragDepth
// aside) at the least cost a pass can have. Every user reads `ShaderProgram::program` at each
// use, so putting the floor names there switches the whole frame.
class FloorPrograms {
public:
    explicit FloorPrograms(Game& game);

    // False, with a message, if a floor program did not link.
    bool ready() const { return linked; }
    void activate();
    void deactivate();

    struct Entry {
        ShaderProgram* shader;  // the Game's program object, not owned
        GLuint realProgram;     // its own linked program
        GLuint floorProgram;    // the floor program put in its place
    };
    std::vector<Entry> entries;
    GLuint fragmentShader;  // the constant-colour fragment shader shared by all
    bool linked;
    Game& game;
    // The floor frame draws into a scene target of its own: the real one keeps the last real
    // picture, which the next real frame builds its mipmaps from.
    RenderTarget* realTarget;
    RenderTarget* floorTarget;
    GLint activeUnit;    // the active texture unit before the floor frame
    GLint boundTexture;  // the texture bound there
};

}  // namespace dusk::bench
