#pragma once

#include "render/GL.h"

// The shadow pass's target: a 16-bit depth texture read through a comparison sampler, no colour.
// Prints a line and carries on when the framebuffer is incomplete.
void createShadowFramebuffer(int width, int height, GLuint* framebuffer, GLuint* depthTexture);

// The camera-depth pass's target: a float colour texture on attachment 5 and a depth buffer.
// Stays bound afterwards. Prints a line and carries on when incomplete.
void createCameraDepthFramebuffer(int width, int height, GLuint* framebuffer, GLuint* colorTexture,
                                  GLuint* depthTexture);
