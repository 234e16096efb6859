#pragma once

#include "render/GL.h"

namespace dusk {

// The GL state that drawing between the frame's passes changes, taken and put back as it was,
// so that the next frame's passes see no difference: program, vertex array, array buffer,
// framebuffer, the 2D textures on units 0 and 1 and the active unit, viewport, scissor box,
// blending, culling, depth and scissor tests, polygon mode.
struct SavedGlState {
    GLint program, vertexArray, arrayBuffer, framebuffer, textures[2], activeTexture;
    GLint viewport[4], scissorBox[4], polygonMode[2];
    GLint blendSourceRgb, blendDestinationRgb, blendSourceAlpha, blendDestinationAlpha;
    GLint blendEquationRgb, blendEquationAlpha;
    GLboolean blend, cullFace, depthTest, scissorTest;

    void save();
    void restore() const;
};

}  // namespace dusk
