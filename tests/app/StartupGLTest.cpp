#include "app/FrameLoop.h"
#include "support/GLContext.h"

#include <sstream>

namespace {

using StartupGLTest = dusk::test::GLTest;

TEST_F(StartupGLTest, WindowHintsGiveAThreeThreeCoreContext) {
    GLint major = 0;
    GLint minor = 0;
    GLint profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_FALSE(profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT);
}

TEST_F(StartupGLTest, RealGlErrorIsReportedOnceAndTaken) {
    glEnable(0xFFFF);  // not a capability: GL_INVALID_ENUM
    std::ostringstream out;
    EXPECT_EQ(dusk::drainGlErrors(out), 1);
    EXPECT_EQ(out.str(), "ERROR: OpenGL!\n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
