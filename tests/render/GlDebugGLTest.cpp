#include "render/GlDebug.h"
#include "support/GLContext.h"

#include <cstdlib>

namespace {

using GlDebugGLTest = dusk::test::GLTest;

// setenv is POSIX; the Windows C runtime has _putenv_s, where an empty value removes the name.
void setVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

void insert(GLenum source, GLuint id, GLenum severity, const char* text) {
    glDebugMessageInsert(source, GL_DEBUG_TYPE_OTHER, id, severity, -1, text);
}

// Only DUSK_GL_DEBUG=1 turns it on; then each distinct message of the driver (here one a third
// party inserts, as the driver's reach the same callback) is printed once with its id and
// severity, and the groups' own notices are not.
TEST_F(GlDebugGLTest, PrintsEachDistinctMessageOnceOnlyWhenAskedFor) {
    for (const char* value : {"0", "yes", ""}) {
        setVariable("DUSK_GL_DEBUG", value);
        dusk::startGlDebug();
        EXPECT_FALSE(dusk::glDebugOn) << value;
    }
    setVariable("DUSK_GL_DEBUG", "1");
    dusk::startGlDebug();
    ASSERT_TRUE(dusk::glDebugOn);

    testing::internal::CaptureStdout();
    for (int i = 0; i < 3; ++i) {
        insert(GL_DEBUG_SOURCE_THIRD_PARTY, 7, GL_DEBUG_SEVERITY_HIGH, "the same message");
        dusk::DebugGroup group("3 scene");
    }
    insert(GL_DEBUG_SOURCE_THIRD_PARTY, 7, GL_DEBUG_SEVERITY_LOW, "another message");
    insert(GL_DEBUG_SOURCE_THIRD_PARTY, 8, GL_DEBUG_SEVERITY_NOTIFICATION, "the same message");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "GL debug message 7 (high): the same message\n"
              "GL debug message 7 (low): another message\n"
              "GL debug message 8 (notification): the same message\n");

    glDebugMessageCallback(nullptr, nullptr);
    glDisable(GL_DEBUG_OUTPUT);
    dusk::glDebugOn = false;
    setVariable("DUSK_GL_DEBUG", "");
}

}  // namespace
