#include "render/DepthTargets.h"

#include "render/GlDebug.h"
#include "render/RenderTarget.h"

#include <iostream>

namespace {

void reportIfIncomplete() {
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::cout << "error: Frame Buffer not completed" << std::endl;
    }
}

}  // namespace

void createShadowFramebuffer(int width, int height, GLuint* framebuffer, GLuint* depthTexture) {
    glGenFramebuffers(1, framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, *framebuffer);
    glGenTextures(1, depthTexture);
    glBindTexture(GL_TEXTURE_2D, *depthTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, nullptr);
    setStandardSamplingState();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, *depthTexture, 0);
    // Without a colour attachment both buffers must be none, or strict drivers count the
    // framebuffer incomplete (Mesa forgives the read buffer).
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    reportIfIncomplete();
    dusk::labelGlObject(GL_FRAMEBUFFER, *framebuffer, "shadow map");
    dusk::labelGlObject(GL_TEXTURE, *depthTexture, "shadow map");
}

void createCameraDepthFramebuffer(int width, int height, GLuint* framebuffer, GLuint* colorTexture,
                                  GLuint* depthTexture) {
    glGenFramebuffers(1, framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, *framebuffer);
    glGenTextures(1, colorTexture);
    glBindTexture(GL_TEXTURE_2D, *colorTexture);
    setStandardSamplingState();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glGenTextures(1, depthTexture);
    glBindTexture(GL_TEXTURE_2D, *depthTexture);
    setStandardSamplingState();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, nullptr);
    // Attachment 5, not 0: the depth program's output 0 lands there through the draw buffer.
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT5, *colorTexture, 0);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, *depthTexture, 0);
    glDrawBuffer(GL_COLOR_ATTACHMENT5);
    glReadBuffer(GL_COLOR_ATTACHMENT5);  // the default, attachment 0, is missing here
    reportIfIncomplete();
    dusk::labelGlObject(GL_FRAMEBUFFER, *framebuffer, "camera depth");
    dusk::labelGlObject(GL_TEXTURE, *colorTexture, "camera depth (eye depth)");
    dusk::labelGlObject(GL_TEXTURE, *depthTexture, "camera depth (depth buffer)");
}
