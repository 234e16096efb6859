#include "render/RenderTarget.h"

#include "app/Console.h"
#include "render/GlDebug.h"

#include <cstdlib>
#include <iostream>

void setStandardSamplingState() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

RenderTarget::RenderTarget(int width, int height)
    : framebuffer(0), colorTexture(0), depthTexture(0) {
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    createColorTexture(width, height);
    createDepthTexture(width, height);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, colorTexture, 0);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, depthTexture, 0);
    drawBuffers.push_back(GL_COLOR_ATTACHMENT0);
    glDrawBuffers(static_cast<GLsizei>(drawBuffers.size()), drawBuffers.data());

    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "Error! FrameBuffer is not complete" << std::endl;
        dusk::waitForCharacter();
        std::exit(1);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    dusk::labelGlObject(GL_FRAMEBUFFER, framebuffer, "scene target");
    dusk::labelGlObject(GL_TEXTURE, colorTexture, "scene target colour");
    dusk::labelGlObject(GL_TEXTURE, depthTexture, "scene target depth");
}

void RenderTarget::createColorTexture(int width, int height) {
    glGenTextures(1, &colorTexture);
    glBindTexture(GL_TEXTURE_2D, colorTexture);
    setStandardSamplingState();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

void RenderTarget::createDepthTexture(int width, int height) {
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    setStandardSamplingState();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, nullptr);
}
