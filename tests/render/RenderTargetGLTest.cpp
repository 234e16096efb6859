#include "render/RenderTarget.h"

#include "render/DepthTargets.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "support/GLContext.h"
#include "support/TestScene.h"

#include <glm/glm.hpp>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

struct Level {
    GLint width = -1;
    GLint height = -1;
    GLint internalFormat = -1;
};

Level levelOf(GLuint texture, GLint level) {
    Level result;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &result.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &result.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT,
                             &result.internalFormat);
    return result;
}

GLint parameterOf(GLuint texture, GLenum name) {
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// Size, format, linear filters, clamped edges and no mipmap levels beyond the first.
void expectTexture(GLuint texture, GLint internalFormat, int width, int height) {
    ASSERT_NE(texture, 0u);
    Level base = levelOf(texture, 0);
    EXPECT_EQ(base.width, width) << "texture " << texture;
    EXPECT_EQ(base.height, height) << "texture " << texture;
    EXPECT_EQ(base.internalFormat, internalFormat) << "texture " << texture;
    EXPECT_EQ(levelOf(texture, 1).width, 0) << "texture " << texture << " has mipmaps";
    EXPECT_EQ(parameterOf(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR) << "texture " << texture;
    EXPECT_EQ(parameterOf(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << "texture " << texture;
    EXPECT_EQ(parameterOf(texture, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE) << "texture " << texture;
    EXPECT_EQ(parameterOf(texture, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE) << "texture " << texture;
}

// What the bound framebuffer holds at an attachment point: 0 for nothing.
GLuint attachedTo(GLenum attachment) {
    GLint type = GL_NONE;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type != GL_TEXTURE) {
        return 0;
    }
    GLint name = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    return static_cast<GLuint>(name);
}

std::vector<GLint> drawBuffersOfBound() {
    GLint count = 0;
    glGetIntegerv(GL_MAX_DRAW_BUFFERS, &count);
    std::vector<GLint> buffers(static_cast<size_t>(count), -1);
    for (GLint i = 0; i < count; ++i) {
        glGetIntegerv(GL_DRAW_BUFFER0 + i, &buffers[static_cast<size_t>(i)]);
    }
    return buffers;
}

// Strict drivers count a framebuffer incomplete when its read buffer names a missing attachment.
void expectReadBufferAttachedOrNone() {
    GLint readBuffer = -1;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    if (readBuffer != GL_NONE) {
        EXPECT_NE(attachedTo(static_cast<GLenum>(readBuffer)), 0u) << "read buffer " << readBuffer;
    }
}

GLint boundFramebuffer() {
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    return bound;
}

const char* const fullScreenVertex = R"(#version 330 core
// A triangle over the whole viewport at the depth the test asks for.
uniform float depth;
void main() {
    vec2 corners[3] = vec2[3](vec2(-1.0, -1.0), vec2(3.0, -1.0), vec2(-1.0, 3.0));
    gl_Position = vec4(corners[gl_VertexID], depth, 1.0);
}
)";

const char* const constantFragment = R"(#version 330 core
uniform vec4 value;
out vec4 color;
void main() { color = value; }
)";

// Reads the shadow map at the centre through its sampler, against the reference depth.
const char* const compareFragment = R"(#version 330 core
uniform sampler2DShadow shadowMap;
uniform float reference;
out vec4 color;
void main() { color = vec4(texture(shadowMap, vec3(0.5, 0.5, reference))); }
)";

class RenderTargetGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        // The child of a death test starts afresh from this test, with a context of its own.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        folder = dusk::test::freshTestFolder("render");
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    }
    void TearDown() override {
        dusk::test::restoreDefaultGlState();
        GLTest::TearDown();
    }

    ShaderProgram* program(const std::string& name, const std::string& vertex,
                           const std::string& fragment) {
        programs.emplace_back(dusk::test::buildTestProgram(folder, name, vertex, fragment));
        return programs.back().get();
    }

    std::string folder;
    std::vector<std::unique_ptr<ShaderProgram>> programs;
};

TEST_F(RenderTargetGLTest, SceneTargetIsAnRgbaAndDepthPairOfTheGivenSize) {
    CaptureStdout();
    RenderTarget target(1280, 720);
    EXPECT_EQ(GetCapturedStdout(), "");

    EXPECT_EQ(boundFramebuffer(), 0) << "the window's framebuffer is bound again";
    expectTexture(target.colorTexture, GL_RGBA8, 1280, 720);
    expectTexture(target.depthTexture, GL_DEPTH_COMPONENT24, 1280, 720);
    EXPECT_NE(target.colorTexture, target.depthTexture);
    EXPECT_EQ(target.drawBuffers, std::vector<GLenum>{GL_COLOR_ATTACHMENT0});

    ASSERT_NE(target.framebuffer, 0u);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(attachedTo(GL_COLOR_ATTACHMENT0), target.colorTexture);
    EXPECT_EQ(attachedTo(GL_DEPTH_ATTACHMENT), target.depthTexture);
    std::vector<GLint> buffers = drawBuffersOfBound();
    ASSERT_GE(buffers.size(), 2u);
    EXPECT_EQ(buffers[0], GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(buffers[1], GL_NONE);
}

TEST_F(RenderTargetGLTest, ShadowTargetIsDepthOnlyWithAComparisonSampler) {
    GLuint framebuffer = 0;
    GLuint depthTexture = 0;
    CaptureStdout();
    createShadowFramebuffer(1280, 720, &framebuffer, &depthTexture);
    EXPECT_EQ(GetCapturedStdout(), "");

    // The shadow map has the window's size: there is no resolution of its own.
    expectTexture(depthTexture, GL_DEPTH_COMPONENT16, 1280, 720);
    EXPECT_EQ(parameterOf(depthTexture, GL_TEXTURE_COMPARE_MODE), GL_COMPARE_REF_TO_TEXTURE);
    EXPECT_EQ(parameterOf(depthTexture, GL_TEXTURE_COMPARE_FUNC), GL_LEQUAL);

    ASSERT_NE(framebuffer, 0u);
    EXPECT_EQ(boundFramebuffer(), static_cast<GLint>(framebuffer));
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(attachedTo(GL_DEPTH_ATTACHMENT), depthTexture);
    GLint colorAttachments = 0;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &colorAttachments);
    for (GLint i = 0; i < colorAttachments; ++i) {
        EXPECT_EQ(attachedTo(GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i)), 0u)
            << "colour attachment " << i;
    }
    for (GLint buffer : drawBuffersOfBound()) {
        EXPECT_EQ(buffer, GL_NONE);
    }
    expectReadBufferAttachedOrNone();
}

TEST_F(RenderTargetGLTest, CameraDepthTargetWritesToAttachmentFiveOnly) {
    GLuint framebuffer = 0;
    GLuint colorTexture = 0;
    GLuint depthTexture = 0;
    CaptureStdout();
    createCameraDepthFramebuffer(1280, 720, &framebuffer, &colorTexture, &depthTexture);
    EXPECT_EQ(GetCapturedStdout(), "");

    expectTexture(colorTexture, GL_RGBA32F, 1280, 720);
    expectTexture(depthTexture, GL_DEPTH_COMPONENT24, 1280, 720);

    ASSERT_NE(framebuffer, 0u);
    EXPECT_EQ(boundFramebuffer(), static_cast<GLint>(framebuffer));
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(attachedTo(GL_DEPTH_ATTACHMENT), depthTexture);
    GLint colorAttachments = 0;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &colorAttachments);
    for (GLint i = 0; i < colorAttachments; ++i) {
        EXPECT_EQ(attachedTo(GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i)),
                  i == 5 ? colorTexture : 0u)
            << "colour attachment " << i;
    }
    std::vector<GLint> buffers = drawBuffersOfBound();
    for (size_t i = 0; i < buffers.size(); ++i) {
        EXPECT_EQ(buffers[i], i == 0 ? GL_COLOR_ATTACHMENT5 : GL_NONE) << "draw buffer " << i;
    }
    expectReadBufferAttachedOrNone();
}

// A fragment's output 0 lands in attachment 5, in full float precision beyond [0, 1].
TEST_F(RenderTargetGLTest, CameraDepthTargetKeepsFloatOutputOfTheFirstFragmentOutput) {
    constexpr int size = 16;
    GLuint framebuffer = 0;
    GLuint colorTexture = 0;
    GLuint depthTexture = 0;
    createCameraDepthFramebuffer(size, size, &framebuffer, &colorTexture, &depthTexture);
    ShaderProgram* writer = program("writer", fullScreenVertex, constantFragment);
    glUseProgram(writer->program);
    glUniform1f(glGetUniformLocation(writer->program, "depth"), 0.0f);
    glUniform4f(glGetUniformLocation(writer->program, "value"), 37.25f, -2.5f, 0.125f, 1000.0f);
    GLuint vertexArray = 0;  // empty: the corners come from gl_VertexID
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glViewport(0, 0, size, size);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vertexArray);

    glReadBuffer(GL_COLOR_ATTACHMENT5);
    glm::vec4 read(0.0f);
    glReadPixels(size / 2, size / 2, 1, 1, GL_RGBA, GL_FLOAT, &read.x);
    EXPECT_EQ(read, glm::vec4(37.25f, -2.5f, 0.125f, 1000.0f));
    glReadBuffer(GL_COLOR_ATTACHMENT0);
}

// A lookup in the shadow map answers 1 where the reference is not beyond the stored depth.
TEST_F(RenderTargetGLTest, ShadowMapLookupsCompareLessOrEqual) {
    constexpr int size = 8;
    GLuint shadowFramebuffer = 0;
    GLuint shadowMap = 0;
    createShadowFramebuffer(size, size, &shadowFramebuffer, &shadowMap);
    GLuint vertexArray = 0;  // empty: the corners come from gl_VertexID
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glViewport(0, 0, size, size);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    // Clip depth 0 is window depth 0.5.
    ShaderProgram* caster = program("caster", fullScreenVertex, constantFragment);
    glUseProgram(caster->program);
    glUniform1f(glGetUniformLocation(caster->program, "depth"), 0.0f);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);

    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    dusk::test::makeColorTarget(size, size, &framebuffer, &colorBuffer);
    ShaderProgram* reader = program("reader", fullScreenVertex, compareFragment);
    glUseProgram(reader->program);
    glUniform1f(glGetUniformLocation(reader->program, "depth"), 0.0f);
    glUniform1i(glGetUniformLocation(reader->program, "shadowMap"), 1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, shadowMap);
    struct Case {
        float reference;
        int expected;
    };
    for (Case c : {Case{0.25f, 255}, Case{0.49f, 255}, Case{0.51f, 0}, Case{0.75f, 0}}) {
        glUniform1f(glGetUniformLocation(reader->program, "reference"), c.reference);
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        EXPECT_EQ(dusk::test::readPixel(size / 2, size / 2).r, c.expected)
            << "reference " << c.reference;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vertexArray);
    dusk::test::deleteColorTarget(&framebuffer, &colorBuffer);
}

TEST_F(RenderTargetGLTest, IncompleteDepthTargetsSayOnceAndCarryOn) {
    GLuint framebuffer = 0;
    GLuint colorTexture = 0;
    GLuint depthTexture = 0;
    // A texture without pixels cannot be rendered into.
    CaptureStdout();
    createShadowFramebuffer(0, 0, &framebuffer, &depthTexture);
    EXPECT_EQ(GetCapturedStdout(), "error: Frame Buffer not completed\n");
    EXPECT_NE(framebuffer, 0u);
    EXPECT_NE(depthTexture, 0u);
    EXPECT_EQ(parameterOf(depthTexture, GL_TEXTURE_COMPARE_MODE), GL_COMPARE_REF_TO_TEXTURE);

    framebuffer = 0;
    depthTexture = 0;
    CaptureStdout();
    createCameraDepthFramebuffer(0, 0, &framebuffer, &colorTexture, &depthTexture);
    EXPECT_EQ(GetCapturedStdout(), "error: Frame Buffer not completed\n");
    EXPECT_NE(framebuffer, 0u);
    EXPECT_EQ(boundFramebuffer(), static_cast<GLint>(framebuffer));
    EXPECT_NE(colorTexture, 0u);
    EXPECT_NE(depthTexture, 0u);
}

// The child's standard output goes to a file; its standard input is a terminal where someone
// pressed Enter, a terminal where nobody types, or a pipe; an alarm ends a child that waits.
enum class Console { pipe, terminalEnterHit, terminalSilent };

[[noreturn]] void buildIncompleteTargetInChild(const std::string& outputPath, Console console) {
    // What the test program printed before the child began stays out of the file.
    std::fflush(stdout);
    int out = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    if (console == Console::pipe) {
        int ends[2];
        if (pipe(ends) == 0) {
            dup2(ends[0], STDIN_FILENO);
        }
    } else {
        int master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
        dup2(terminal, STDIN_FILENO);
        if (console == Console::terminalEnterHit) {
            ssize_t written = write(master, "\n", 1);
            (void)written;
        }
    }
    alarm(2);
    RenderTarget target(0, 0);
    std::printf("carried on\n");
    std::exit(0);
}

TEST_F(RenderTargetGLTest, IncompleteSceneTargetEndsTheProcess) {
    const std::string output = folder + "/out.txt";
    EXPECT_EXIT(buildIncompleteTargetInChild(output, Console::pipe), testing::ExitedWithCode(1),
                "");
    EXPECT_EQ(dusk::test::readTextFile(output), "Error! FrameBuffer is not complete\n");

    EXPECT_EXIT(buildIncompleteTargetInChild(output, Console::terminalEnterHit),
                testing::ExitedWithCode(1), "");
    EXPECT_EQ(dusk::test::readTextFile(output), "Error! FrameBuffer is not complete\n");
}

TEST_F(RenderTargetGLTest, IncompleteSceneTargetWaitsForAKeyAtATerminal) {
    const std::string output = folder + "/out.txt";
    EXPECT_EXIT(buildIncompleteTargetInChild(output, Console::terminalSilent),
                testing::KilledBySignal(SIGALRM), "");
    EXPECT_EQ(dusk::test::readTextFile(output), "Error! FrameBuffer is not complete\n");
}

const char* const quadVertex = R"(#version 330 core
layout(location = 3) in vec3 position;
layout(location = 1) in vec2 uv;
out vec2 texCoord;
void main() {
    texCoord = uv;
    gl_Position = vec4(position, 1.0);
}
)";

const char* const quadFragment = R"(#version 330 core
uniform sampler2D sceneTexture;
uniform int transparencyFlag;
in vec2 texCoord;
out vec4 color;
void main() { color = texture(sceneTexture, texCoord) + vec4(float(transparencyFlag) * 1e-7); }
)";

// Declares neither attribute: the corners come from the vertex number.
const char* const bareVertex = R"(#version 330 core
void main() {
    vec2 corners[6] = vec2[6](vec2(-1, -1), vec2(1, -1), vec2(-1, 1), vec2(-1, 1), vec2(1, -1),
                              vec2(1, 1));
    gl_Position = vec4(corners[gl_VertexID], 0.0, 1.0);
}
)";

const char* const bareFragment = R"(#version 330 core
uniform sampler2D sceneTexture;
out vec4 color;
void main() { color = vec4(0.0, 0.0, 1.0, 1.0) + texture(sceneTexture, vec2(0.5)) * 1e-7; }
)";

// A 2 x 2 texture whose rows go up: red, green / blue, white.
GLuint makeCornerTexture() {
    const unsigned char texels[16] = {255, 0, 0,   255, 0,   255, 0,   255,
                                      0,   0, 255, 255, 255, 255, 255, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

struct AttributeState {
    GLint enabled = -1;
    GLint size = -1;
    GLint buffer = -1;
};

AttributeState attributeOf(GLuint location) {
    AttributeState state;
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &state.enabled);
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &state.size);
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &state.buffer);
    return state;
}

std::vector<float> bufferContents(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bytes);
    std::vector<float> values(static_cast<size_t>(bytes) / sizeof(float));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, bytes, values.data());
    GLint usage = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    EXPECT_EQ(usage, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return values;
}

TEST_F(RenderTargetGLTest, ScreenQuadPointsItsTwoBuffersAtTheProgramsAttributes) {
    ShaderProgram* lensFlare = program("quad", quadVertex, quadFragment);
    ScreenQuad quad(lensFlare, 11, 12);
    EXPECT_EQ(quad.program, lensFlare);
    EXPECT_EQ(quad.colorTexture, 11u);
    EXPECT_EQ(quad.depthTexture, 12u);

    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), lensFlare->program);
    GLint flag = -1;
    glGetUniformiv(lensFlare->program, glGetUniformLocation(lensFlare->program, "transparencyFlag"),
                   &flag);
    EXPECT_EQ(flag, 1);

    EXPECT_EQ(bufferContents(quad.positionBuffer),
              (std::vector<float>{-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0}));
    EXPECT_EQ(bufferContents(quad.uvBuffer),
              (std::vector<float>{0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1}));

    ASSERT_NE(quad.vertexArray, 0u);
    glBindVertexArray(quad.vertexArray);
    AttributeState position = attributeOf(3);
    EXPECT_EQ(position.enabled, GL_TRUE);
    EXPECT_EQ(position.size, 3);
    EXPECT_EQ(static_cast<GLuint>(position.buffer), quad.positionBuffer);
    AttributeState uv = attributeOf(1);
    EXPECT_EQ(uv.enabled, GL_TRUE);
    EXPECT_EQ(uv.size, 2);
    EXPECT_EQ(static_cast<GLuint>(uv.buffer), quad.uvBuffer);
    for (GLuint unused : {0u, 2u, 4u}) {
        EXPECT_EQ(attributeOf(unused).enabled, GL_FALSE) << "attribute " << unused;
    }
    glBindVertexArray(0);
}

TEST_F(RenderTargetGLTest, ScreenQuadShowsTheTextureOverTheWholeTarget) {
    constexpr int size = 32;
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    dusk::test::makeColorTarget(size, size, &framebuffer, &colorBuffer);
    GLuint texture = makeCornerTexture();
    ShaderProgram* lensFlare = program("quad", quadVertex, quadFragment);
    ScreenQuad quad(lensFlare, texture, 0);

    // Another unit active, another texture on unit 0 and a stale sampler value beforehand.
    glUniform1i(glGetUniformLocation(lensFlare->program, "sceneTexture"), 4);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE2);
    glUseProgram(0);
    glClear(GL_COLOR_BUFFER_BIT);
    quad.draw();

    EXPECT_EQ(dusk::test::readPixel(1, 1), glm::u8vec4(255, 0, 0, 255));
    EXPECT_EQ(dusk::test::readPixel(size - 2, 1), glm::u8vec4(0, 255, 0, 255));
    EXPECT_EQ(dusk::test::readPixel(1, size - 2), glm::u8vec4(0, 0, 255, 255));
    EXPECT_EQ(dusk::test::readPixel(size - 2, size - 2), glm::u8vec4(255, 255, 255, 255));

    // The texture stays on unit 0 and unit 0 stays active: the end-of-frame settings rely on it.
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture);
    GLint vertexArray = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    EXPECT_EQ(vertexArray, 0);
    GLint sampler = -1;
    glGetUniformiv(lensFlare->program, glGetUniformLocation(lensFlare->program, "sceneTexture"),
                   &sampler);
    EXPECT_EQ(sampler, 0);

    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &texture);
    dusk::test::deleteColorTarget(&framebuffer, &colorBuffer);
}

TEST_F(RenderTargetGLTest, ScreenQuadWithoutAttributesDrawsSilently) {
    constexpr int size = 16;
    GLuint framebuffer = 0;
    GLuint colorBuffer = 0;
    dusk::test::makeColorTarget(size, size, &framebuffer, &colorBuffer);
    ShaderProgram* bare = program("bare", bareVertex, bareFragment);
    ASSERT_EQ(glGetAttribLocation(bare->program, "position"), -1);
    ASSERT_EQ(glGetAttribLocation(bare->program, "uv"), -1);

    CaptureStdout();
    ScreenQuad quad(bare, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    quad.draw();
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(dusk::test::takeGlErrors(), 0);
    EXPECT_EQ(dusk::test::readPixel(size / 2, size / 2), glm::u8vec4(0, 0, 255, 255));

    glBindVertexArray(quad.vertexArray);
    GLint attributes = 0;
    glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &attributes);
    for (GLint i = 0; i < attributes; ++i) {
        EXPECT_EQ(attributeOf(static_cast<GLuint>(i)).enabled, GL_FALSE) << "attribute " << i;
    }
    glBindVertexArray(0);
    dusk::test::deleteColorTarget(&framebuffer, &colorBuffer);
}

}  // namespace
