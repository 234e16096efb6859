#pragma once

#include "render/GL.h"

#include <vector>

class Game;

namespace dusk {

// What the passes hand on, as pictures the GL draws from the game's own textures each time it is
// asked: the shadow map and the camera depth as grey, near dark and far light (the square root
// of the depth, stretched over the range the drawn texels take, so that a scene filling a small
// part of the range still shows), white and blue where nothing was drawn; the scene target's
// colour, and its alpha as grey. The overlay shows them live, the bench tool writes them.
class PassViews {
public:
    static constexpr int count = 4;
    enum Kind { shadowMap, cameraDepth, sceneTarget, sceneAlpha };
    static const char* const names[count];  // "shadow map", "camera depth", ...

    // Where one view goes: a framebuffer's rectangle from (0, 0).
    struct Output {
        int kind;
        GLuint framebuffer;
        int width;
        int height;
    };

    // Needs a current GL context; makes every object it draws with.
    explicit PassViews(const Game& game);
    ~PassViews();
    PassViews(const PassViews&) = delete;
    PassViews& operator=(const PassViews&) = delete;

    // Measures this frame's depth ranges, then draws each view into its output. Leaves the GL
    // state as it found it.
    void draw(const Output* outputs, int outputCount);

    const Game& game;
    GLuint viewProgram;   // one view of one target, chosen by its uniform "view"
    GLuint rangeProgram;  // nearest and farthest drawn depth of each block of 8 x 8 texels
    GLuint vertexArray;   // no attributes: the triangle over the output comes from gl_VertexID
    GLuint texelSampler;  // level 0 as stored: depths read, not compared, on units 0 and 1
    std::vector<GLuint> rangeTextures[2];      // per depth target, the blocks' ranges down to 1 x 1
    std::vector<GLuint> rangeFramebuffers[2];  // one over each range texture
    std::vector<int> rangeSizes;               // width and height of each level, in pairs

private:
    void measureRanges();
};

}  // namespace dusk
