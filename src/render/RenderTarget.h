#pragma once

#include "render/GL.h"

#include <vector>

// The off-screen target of the lit scene: an RGBA8 colour texture and a depth texture.
class RenderTarget {
public:
    // Ends the process when the framebuffer is incomplete: nothing can be shown without it.
    RenderTarget(int width, int height);

    void createColorTexture(int width, int height);
    void createDepthTexture(int width, int height);

    GLuint framebuffer;               // framebuffer object
    GLuint colorTexture;              // colour attachment 0, GL_RGBA8
    GLuint depthTexture;              // depth attachment, GL_DEPTH_COMPONENT24
    std::vector<GLenum> drawBuffers;  // handed to glDrawBuffers: GL_COLOR_ATTACHMENT0
};

// Linear filters, clamped edges, no mipmaps: the sampling state of every off-screen texture.
void setStandardSamplingState();
