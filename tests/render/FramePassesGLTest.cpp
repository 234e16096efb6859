#include "AllocationCounter.h"
#include "app/RenderSettings.h"
#include "game/Game.h"
#include "render/RenderTarget.h"
#include "render/ShaderProgram.h"
#include "support/TestScene.h"

namespace {

using FramePassesGLTest = dusk::test::SceneGLTest;

// Through the flight, the explosion, the swing and free flight with keys held, steady frames
// allocate nothing and make no GL object, no frame raises a GL error, and the explosion is
// announced once for the whole run.
TEST_F(FramePassesGLTest, SteadyFramesMakeNothingAndTheExplosionIsAnnouncedOnce) {
    const std::uint64_t probe = dusk::bench::allocationCount();
    void* volatile seen = ::operator new(8);  // the counter sees a heap allocation
    ::operator delete(seen);
    ASSERT_EQ(dusk::bench::allocationCount(), probe + dusk::bench::allocationCountAvailable());
    keys.down = {GLFW_KEY_W, GLFW_KEY_LEFT};
    testing::internal::CaptureStdout();
    int objects = 0;
    for (float pathTime : {0.5f, 1.02f, 1.3f, 1.7f, 1.05f}) {
        game->pathTime = pathTime;
        runFrame(0.1f);  // lets each stretch's lists take their sizes
        runFrame(0.1f);
        objects = objects == 0 ? dusk::test::liveGlObjects() : objects;
        const std::uint64_t before = dusk::bench::allocationCount();
        for (int i = 0; i < 3; ++i) {
            runFrame(0.1f);
        }
        EXPECT_EQ(dusk::bench::allocationCount(), before) << "at pathTime " << pathTime;
        EXPECT_EQ(dusk::test::takeGlErrors(), 0) << "at pathTime " << pathTime;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Expl\n");
    EXPECT_EQ(dusk::test::liveGlObjects(), objects);
    EXPECT_FALSE(game->introRunning);
}

// F4 and F5 choose the filters of the scene texture the final pass shows; F12 switches the
// specular maps of the scene's program (F9's and F11's switches show in the scene's pixels).
TEST_F(FramePassesGLTest, SwitchesReachTheTexturesAndPrograms) {
    using Row = std::tuple<int, bool, GLenum>;  // F5's mipmap mode, F4's bilinear, the filter
    for (auto [mipmapMode, bilinear, filter] :
         {Row{-1, false, GL_NEAREST}, Row{-1, true, GL_LINEAR},
          Row{0, false, GL_NEAREST_MIPMAP_NEAREST}, Row{0, true, GL_LINEAR_MIPMAP_NEAREST},
          Row{1, false, GL_NEAREST_MIPMAP_LINEAR}, Row{1, true, GL_LINEAR_MIPMAP_LINEAR}}) {
        renderSettings.mipmapMode = mipmapMode;
        renderSettings.bilinearFiltering = bilinear;
        game->disableSpecularMapping = bilinear;  // off on every second row
        runFrame(0.1f);
        GLint minFilter = 0, magFilter = 0, specularOff = -1;
        glBindTexture(GL_TEXTURE_2D, game->sceneTarget->colorTexture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        const GLuint program = game->blinnPhongShader->program;
        glGetUniformiv(program, glGetUniformLocation(program, "disableSpecularMapping"),
                       &specularOff);
        EXPECT_EQ(minFilter, GLint(filter)) << mipmapMode << bilinear;
        EXPECT_EQ(magFilter, GL_LINEAR);
        EXPECT_EQ(specularOff, bilinear);
    }
}

// Strict drivers count a framebuffer incomplete when its draw or read buffer names an attachment
// it lacks (Mesa forgives the read buffer): each depth pass's names one it has, or none.
TEST_F(FramePassesGLTest, DepthFramebuffersNameOnlyTheirOwnAttachments) {
    for (GLuint framebuffer : {game->shadowFramebuffer, game->depthFramebuffer}) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
        for (GLenum which : {GL_READ_BUFFER, GL_DRAW_BUFFER0}) {
            GLint buffer = GL_NONE, type = GL_NONE;
            glGetIntegerv(which, &buffer);
            if (buffer != GL_NONE) {
                glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GLenum(buffer),
                                                      GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
            }
            EXPECT_TRUE(buffer == GL_NONE || type == GL_TEXTURE) << framebuffer << ", " << which;
        }
    }
}

}  // namespace
