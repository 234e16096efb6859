#include "scene/Object.h"
// After a header that brings glm: Magick++ otherwise takes assert.h into its own namespace.
#include "assets/Model.h"
#include "assets/Texture.h"
#include "scene/ShaderFiles.h"
#include "support/GLContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <filesystem>
#include <memory>

namespace {

using dusk::scene::Object;

// Two triangles over the left half of clip space.
const char* const leftHalfQuad = "v -1 -1 0\nv 0 -1 0\nv 0 1 0\nv -1 1 0\nf 1 2 3\nf 1 3 4\n";

const char* const vertexSource = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 model;
void main() { gl_Position = model * vec4(position, 1.0); }
)";

// Flat colour; the samplers are read so that they stay active, but weigh nothing.
std::string fragmentSource(const std::string& rgb) {
    return R"(#version 330 core
uniform sampler2D color_texture;
uniform sampler2D normal_texture;
uniform sampler2D specular_texture;
out vec4 color;
void main() {
    vec4 probe = texture(color_texture, vec2(0.5)) + texture(normal_texture, vec2(0.5)) +
                 texture(specular_texture, vec2(0.5));
    color = vec4()" +
           rgb + R"(, 1.0) + probe * 1e-6;
}
)";
}

constexpr int targetSize = 64;

class ObjectGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        folder = dusk::test::testFolder();
        red.reset(dusk::test::buildProgram(folder, "red", vertexSource, fragmentSource("1, 0, 0")));
        green.reset(
            dusk::test::buildProgram(folder, "green", vertexSource, fragmentSource("0, 1, 0")));
        dusk::test::writeText(folder + "/quad.obj", leftHalfQuad);

        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(1, &colorBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, targetSize, targetSize);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colorBuffer);
        ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
                  static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, targetSize, targetSize);
        glDisable(GL_DEPTH_TEST);
        glGenQueries(1, &primitivesQuery);
    }

    void TearDown() override {
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colorBuffer);
        glDeleteQueries(1, &primitivesQuery);
        glViewport(0, 0, 320, 240);
        GLTest::TearDown();
    }

    // Clears the target, draws the object and returns how many triangles reached the rasteriser.
    GLuint drawCounted(Object& object) {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glBeginQuery(GL_PRIMITIVES_GENERATED, primitivesQuery);
        object.draw();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint primitives = 0;
        glGetQueryObjectuiv(primitivesQuery, GL_QUERY_RESULT, &primitives);
        return primitives;
    }

    static glm::u8vec4 pixel(int x, int y) {
        glm::u8vec4 value(0);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &value.x);
        return value;
    }
    static glm::u8vec4 leftPixel() { return pixel(targetSize / 4, targetSize / 2); }
    static glm::u8vec4 rightPixel() { return pixel(3 * targetSize / 4, targetSize / 2); }

    // Gives the program's four object uniforms values the object never sets.
    static void scramble(const ShaderProgram& shader) {
        glUseProgram(shader.program);
        glm::mat4 zero(0.0f);
        glUniformMatrix4fv(glGetUniformLocation(shader.program, "model"), 1, GL_FALSE,
                           glm::value_ptr(zero));
        for (const char* name : {"color_texture", "normal_texture", "specular_texture"}) {
            glUniform1i(glGetUniformLocation(shader.program, name), 5);
        }
        glUseProgram(0);
    }

    static GLint sampler(const ShaderProgram& shader, const char* name) {
        GLint value = -1;
        glGetUniformiv(shader.program, glGetUniformLocation(shader.program, name), &value);
        return value;
    }

    static glm::mat4 modelUniform(const ShaderProgram& shader) {
        glm::mat4 value(-1.0f);
        glGetUniformfv(shader.program, glGetUniformLocation(shader.program, "model"),
                       glm::value_ptr(value));
        return value;
    }

    static void expectObjectUniforms(const ShaderProgram& shader, const glm::mat4& model) {
        EXPECT_EQ(modelUniform(shader), model);
        EXPECT_EQ(sampler(shader, "color_texture"), 0);
        EXPECT_EQ(sampler(shader, "normal_texture"), 2);
        EXPECT_EQ(sampler(shader, "specular_texture"), 3);
    }

    static GLint currentProgram() {
        GLint program = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        return program;
    }

    std::string folder;
    std::unique_ptr<ShaderProgram> red;
    std::unique_ptr<ShaderProgram> green;
    GLuint framebuffer = 0;      // the off-screen target the tests read back
    GLuint colorBuffer = 0;      // its colour renderbuffer
    GLuint primitivesQuery = 0;  // counts the triangles of one draw
    const glm::u8vec4 cleared{0, 0, 0, 0};
    const glm::u8vec4 redPixel{255, 0, 0, 255};
    const glm::u8vec4 greenPixel{0, 255, 0, 255};
};

TEST_F(ObjectGLTest, MissingModelStillBindsItsProgramAndSetsUniformsButDrawsNothing) {
    const glm::mat4 placement = glm::translate(glm::mat4(1.0f), glm::vec3(0.25f, 0.0f, 0.0f));
    Object object(folder + "/missing.obj", placement, red.get(), folder + "/missing.png");
    EXPECT_TRUE(object.model->meshes.empty());
    scramble(*red);
    glUseProgram(green->program);

    EXPECT_EQ(drawCounted(object), 0u);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(red->program));
    expectObjectUniforms(*red, placement);
    EXPECT_EQ(leftPixel(), cleared);
    EXPECT_EQ(rightPixel(), cleared);
}

TEST_F(ObjectGLTest, TwoPassesDrawTheSameGeometryEachWithItsProgram) {
    const glm::mat4 identity(1.0f);
    Object object(folder + "/quad.obj", identity, red.get(), folder + "/missing.png");
    ASSERT_EQ(object.model->meshes.size(), 1u);
    scramble(*red);
    scramble(*green);

    EXPECT_EQ(drawCounted(object), 2u);
    EXPECT_EQ(leftPixel(), redPixel);
    EXPECT_EQ(rightPixel(), cleared);
    expectObjectUniforms(*red, identity);

    object.setProgram(green.get());
    EXPECT_EQ(object.shader, green.get());
    EXPECT_EQ(drawCounted(object), 2u);
    EXPECT_EQ(leftPixel(), greenPixel);
    EXPECT_EQ(rightPixel(), cleared);
    EXPECT_EQ(currentProgram(), static_cast<GLint>(green->program));
    expectObjectUniforms(*green, identity);
}

TEST_F(ObjectGLTest, NewModelMatrixIsUploadedUntransposed) {
    Object object(folder + "/quad.obj", glm::mat4(1.0f), red.get(), folder + "/missing.png");
    glm::mat4 distinct;
    for (int i = 0; i < 16; ++i) {
        glm::value_ptr(distinct)[i] = 0.5f + static_cast<float>(i);
    }
    object.setModelMatrix(distinct);
    EXPECT_EQ(object.modelMatrix, distinct);
    drawCounted(object);
    EXPECT_EQ(modelUniform(*red), distinct);

    // Moved one unit right, the quad covers the other half of the target.
    const glm::mat4 moved = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    object.setModelMatrix(moved);
    EXPECT_EQ(drawCounted(object), 2u);
    EXPECT_EQ(modelUniform(*red), moved);
    EXPECT_EQ(leftPixel(), cleared);
    EXPECT_EQ(rightPixel(), redPixel);
}

TEST_F(ObjectGLTest, FourArgumentObjectsTakeTheDefaultMaps) {
    dusk::initializeImageLibrary();
    std::filesystem::create_directories(folder + "/Model/Image");
    for (const char* name : {"Default_NM.png", "Default_SM.png", "color.png"}) {
        Magick::Image image(Magick::Geometry(2, 2), Magick::Color("blue"));
        image.write(folder + "/Model/Image/" + name);
    }
    const std::filesystem::path previous = std::filesystem::current_path();
    // The default maps are relative paths: they resolve against the working directory.
    std::filesystem::current_path(folder);
    const glm::mat4 placement = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 2.0f, 3.0f));
    Object defaults("quad.obj", placement, red.get(), "Model/Image/color.png");
    Object without("quad.obj", placement, green.get(), "Model/Image/color.png", "", "");
    Object chosen("quad.obj", placement, green.get(), "Model/Image/color.png",
                  "Model/Image/Default_SM.png", "Model/Image/Default_NM.png");
    std::filesystem::current_path(previous);

    ASSERT_NE(defaults.model->normalTexture, nullptr);
    ASSERT_NE(defaults.model->specularTexture, nullptr);
    EXPECT_EQ(defaults.model->normalTexture->path, "Model/Image/Default_NM.png");
    EXPECT_EQ(defaults.model->specularTexture->path, "Model/Image/Default_SM.png");
    ASSERT_NE(defaults.model->colorTextures.at(0), nullptr);
    EXPECT_EQ(defaults.model->colorTextures[0]->path, "Model/Image/color.png");
    EXPECT_EQ(without.model->normalTexture, nullptr);
    EXPECT_EQ(without.model->specularTexture, nullptr);
    ASSERT_NE(chosen.model->normalTexture, nullptr);
    EXPECT_EQ(chosen.model->normalTexture->path, "Model/Image/Default_SM.png");

    // What the scene-object part of every object starts with.
    EXPECT_EQ(defaults.modelMatrix, placement);
    EXPECT_EQ(defaults.shader, red.get());
    EXPECT_EQ(defaults.body, nullptr);
    EXPECT_EQ(defaults.worldDepth, 350);
    EXPECT_EQ(defaults.worldWidth, 350);
    defaults.update(1.0f);
    EXPECT_EQ(defaults.modelMatrix, placement);
}

}  // namespace
