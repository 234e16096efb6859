#include "assets/Model.h"
#include "assets/Texture.h"
#include "render/ShaderProgram.h"
#include "support/GLContext.h"

#include <Magick++.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Two meshes of 6 and 9 vertices. Each is a linear map of its texture coordinates, so its
// tangent basis is known: the first p = 2 * (u, v, 0), the second p = (1, 3u, 4v). The second
// holds a quad (triangulated into two triangles that share corners), a triangle and a line.
// Both use materials past the first.
const char* twoMeshObj = R"(o first
v 0 0 0
v 2 0 0
v 2 2 0
v 0 2 0
vt 0 0
vt 1 0
vt 1 1
vt 0 1
usemtl stone
f 1/1 2/2 3/3
f 1/1 3/3 4/4
o second
v 1 0 0
v 1 3 0
v 1 3 4
v 1 0 4
v 1 1.5 0
v 1 3 2
v 1 1.5 4
vt 0 0
vt 1 0
vt 1 1
vt 0 1
vt 0.5 0
vt 1 0.5
vt 0.5 1
usemtl moss
f 5/5 6/6 7/7 8/8
f 9/9 10/10 11/11
l 5 11
)";

// The same layout in clip space, without texture coordinates: the first mesh fills the left
// half, the second a quad in the top-right quarter and a triangle in the bottom-right quarter.
const char* screenObj = R"(o left
v -1 -1 0
v 0 -1 0
v 0 1 0
v -1 1 0
usemtl stone
f 1 2 3
f 1 3 4
g right
v 0 0 0
v 1 0 0
v 1 1 0
v 0 1 0
v 0.05 -0.95 0
v 0.95 -0.95 0
v 0.5 -0.05 0
usemtl moss
f 5 6 7 8
f 9 10 11
l 5 11
)";

const char* drawVertexShader = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 2) in vec2 texCoord;
out vec2 uv;
void main() {
    uv = texCoord;
    gl_Position = vec4(position, 1.0);
}
)";

const char* drawFragmentShader = R"(#version 330 core
in vec2 uv;
uniform sampler2D color_texture;
uniform int useTexture;
out vec4 colour;
void main() {
    colour = useTexture == 1 ? texture(color_texture, uv) : vec4(1.0, 0.0, 0.0, 1.0);
}
)";

constexpr int targetSize = 64;

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

GLint bufferSize(GLuint buffer) {
    GLint bytes = -1;
    glBindBuffer(GL_COPY_READ_BUFFER, buffer);
    glGetBufferParameteriv(GL_COPY_READ_BUFFER, GL_BUFFER_SIZE, &bytes);
    glBindBuffer(GL_COPY_READ_BUFFER, 0);
    return bytes;
}

template <typename T> std::vector<T> readBuffer(GLuint buffer) {
    GLint bytes = bufferSize(buffer);
    std::vector<T> data(bytes > 0 ? static_cast<size_t>(bytes) / sizeof(T) : 0);
    if (!data.empty()) {
        glBindBuffer(GL_COPY_READ_BUFFER, buffer);
        glGetBufferSubData(GL_COPY_READ_BUFFER, 0, bytes, data.data());
        glBindBuffer(GL_COPY_READ_BUFFER, 0);
    }
    return data;
}

GLint boundTexture(GLenum unit) {
    GLint name = -1;
    glActiveTexture(unit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    glActiveTexture(GL_TEXTURE0);
    return name;
}

// Every stream holds one entry per vertex, the index stream the sum of the index counts, the
// table is cumulative and every index stays inside its own mesh.
void expectConsistentStreams(const Model& model) {
    GLint positionBytes = bufferSize(model.buffers[Model::POSITION_BUFFER]);
    ASSERT_EQ(positionBytes % 12, 0);
    GLint vertices = positionBytes / 12;
    EXPECT_EQ(bufferSize(model.buffers[Model::NORMAL_BUFFER]), vertices * 12);
    EXPECT_EQ(bufferSize(model.buffers[Model::TEXCOORD_BUFFER]), vertices * 8);
    EXPECT_EQ(bufferSize(model.buffers[Model::TANGENT_BUFFER]), vertices * 12);
    EXPECT_EQ(bufferSize(model.buffers[Model::BITANGENT_BUFFER]), vertices * 12);

    std::vector<GLuint> indices = readBuffer<GLuint>(model.buffers[Model::INDEX_BUFFER]);
    std::uint32_t indexTotal = 0;
    for (size_t i = 0; i < model.meshes.size(); ++i) {
        const Mesh& mesh = model.meshes[i];
        EXPECT_EQ(mesh.baseIndex, indexTotal) << "mesh " << i;
        EXPECT_EQ(mesh.indexCount % 3, 0u) << "mesh " << i;
        std::uint32_t end = i + 1 < model.meshes.size() ? model.meshes[i + 1].baseVertex
                                                        : static_cast<std::uint32_t>(vertices);
        ASSERT_LE(mesh.baseVertex, end) << "mesh " << i;
        for (std::uint32_t k = 0; k < mesh.indexCount && mesh.baseIndex + k < indices.size(); ++k) {
            EXPECT_LT(mesh.baseVertex + indices[mesh.baseIndex + k], end) << "mesh " << i;
        }
        indexTotal += mesh.indexCount;
    }
    EXPECT_EQ(indices.size(), indexTotal);
    for (const glm::vec3& t : readBuffer<glm::vec3>(model.buffers[Model::TANGENT_BUFFER])) {
        EXPECT_TRUE(isFinite(t));
    }
    for (const glm::vec3& b : readBuffer<glm::vec3>(model.buffers[Model::BITANGENT_BUFFER])) {
        EXPECT_TRUE(isFinite(b));
    }
}

class ModelGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        dir = fs::path(DUSK_TEST_OUTPUT_DIR) / "assets" /
              testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
    }

    void TearDown() override {
        if (window != nullptr) {  // no context: the set-up failed already
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glUseProgram(0);
        }
        GLTest::TearDown();
    }

    std::string file(const std::string& name) const { return (dir / name).string(); }

    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(file(name), std::ios::binary) << content;
        return file(name);
    }

    // A small image of one colour, written by the image library.
    std::string writeImage(const std::string& name, const std::string& colour) const {
        Magick::Image image(Magick::Geometry(4, 4), Magick::Color(colour));
        image.depth(8);
        image.write(file(name));
        return file(name);
    }

    ShaderProgram* drawProgram() {
        write("draw.vert", drawVertexShader);
        write("draw.frag", drawFragmentShader);
        program = std::make_unique<ShaderProgram>(file("draw.vert"), file("draw.frag"));
        return program.get();
    }

    // Draws the model into a fresh 64 x 64 target cleared to black and reads it back.
    std::vector<unsigned char> render(Model& model, bool useTexture) {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLboolean culling = glIsEnabled(GL_CULL_FACE);
        GLuint framebuffer = 0;   // the off-screen target
        GLuint colourBuffer = 0;  // its RGBA8 colour storage
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colourBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, targetSize, targetSize);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  colourBuffer);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER),
                  static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        glViewport(0, 0, targetSize, targetSize);
        glDisable(GL_CULL_FACE);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);

        ShaderProgram* shader = program ? program.get() : drawProgram();
        glUseProgram(shader->program);
        glUniform1i(glGetUniformLocation(shader->program, "color_texture"), 0);
        glUniform1i(glGetUniformLocation(shader->program, "useTexture"), useTexture ? 1 : 0);
        model.draw();

        std::vector<unsigned char> pixels(targetSize * targetSize * 4);
        glReadPixels(0, 0, targetSize, targetSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colourBuffer);
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        if (culling) {
            glEnable(GL_CULL_FACE);
        }
        return pixels;
    }

    static std::vector<int> pixel(const std::vector<unsigned char>& pixels, int x, int y) {
        const unsigned char* p = &pixels[(y * targetSize + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    // Where the screen model must and must not cover the target.
    void expectScreenModelCoverage(const std::vector<unsigned char>& pixels,
                                   const std::vector<int>& colour) {
        EXPECT_EQ(pixel(pixels, 16, 32), colour) << "first mesh, left half";
        EXPECT_EQ(pixel(pixels, 48, 48), colour) << "second mesh, quad";
        EXPECT_EQ(pixel(pixels, 48, 11), colour) << "second mesh, triangle";
        const std::vector<int> empty{0, 0, 0, 0};
        EXPECT_EQ(pixel(pixels, 40, 31), empty) << "between the quad and the triangle";
        EXPECT_EQ(pixel(pixels, 62, 1), empty) << "below the triangle";
    }

    fs::path dir;
    std::unique_ptr<ShaderProgram> program;
};

TEST_F(ModelGLTest, TwoMeshesShareExactStreamsInOneVertexArray) {
    std::string colour = writeImage("colour.png", "green");
    Model model;
    CaptureStdout();
    bool loaded = model.load(write("two.obj", twoMeshObj), colour, "", "");
    EXPECT_EQ(GetCapturedStdout(), "Loaded Texture: " + colour + "\n");
    ASSERT_TRUE(loaded);

    ASSERT_EQ(model.meshes.size(), 2u);
    EXPECT_EQ(model.meshes[0].indexCount, 6u);
    EXPECT_EQ(model.meshes[0].baseVertex, 0u);
    EXPECT_EQ(model.meshes[0].baseIndex, 0u);
    EXPECT_EQ(model.meshes[1].indexCount, 9u) << "the line is not a triangle";
    EXPECT_EQ(model.meshes[1].baseVertex, 6u);
    EXPECT_EQ(model.meshes[1].baseIndex, 6u);
    EXPECT_NE(model.meshes[0].materialIndex, INVALID_MATERIAL);
    EXPECT_NE(model.meshes[1].materialIndex, INVALID_MATERIAL);

    // Exact sizes: 15 vertices (the line's two included) and 15 indices.
    EXPECT_EQ(bufferSize(model.buffers[Model::POSITION_BUFFER]), 15 * 12);
    EXPECT_EQ(bufferSize(model.buffers[Model::NORMAL_BUFFER]), 15 * 12);
    EXPECT_EQ(bufferSize(model.buffers[Model::TEXCOORD_BUFFER]), 15 * 8);
    EXPECT_EQ(bufferSize(model.buffers[Model::INDEX_BUFFER]), 15 * 4);
    EXPECT_EQ(bufferSize(model.buffers[Model::TANGENT_BUFFER]), 15 * 12);
    EXPECT_EQ(bufferSize(model.buffers[Model::BITANGENT_BUFFER]), 15 * 12);
    expectConsistentStreams(model);

    // The vertex array records the element buffer and the five attribute streams.
    GLint bound = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    EXPECT_EQ(bound, 0) << "load leaves no vertex array bound";
    glBindVertexArray(model.vertexArray);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), model.buffers[Model::INDEX_BUFFER]);
    const struct {
        GLuint location;
        int slot;
        GLint components;
    } streams[] = {{0, Model::POSITION_BUFFER, 3},
                   {1, Model::NORMAL_BUFFER, 3},
                   {2, Model::TEXCOORD_BUFFER, 2},
                   {3, Model::TANGENT_BUFFER, 3},
                   {4, Model::BITANGENT_BUFFER, 3}};
    for (const auto& s : streams) {
        GLint enabled = 0, buffer = 0, size = 0, type = 0, stride = -1, normalized = -1;
        glGetVertexAttribiv(s.location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(s.location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        glGetVertexAttribiv(s.location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &size);
        glGetVertexAttribiv(s.location, GL_VERTEX_ATTRIB_ARRAY_TYPE, &type);
        glGetVertexAttribiv(s.location, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
        glGetVertexAttribiv(s.location, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &normalized);
        SCOPED_TRACE(testing::Message() << "location " << s.location);
        EXPECT_EQ(enabled, 1);
        EXPECT_EQ(static_cast<GLuint>(buffer), model.buffers[s.slot]);
        EXPECT_EQ(size, s.components);
        EXPECT_EQ(type, GL_FLOAT);
        EXPECT_EQ(stride, 0);
        EXPECT_EQ(normalized, GL_FALSE);
    }
    glBindVertexArray(0);

    // Every triangle corner carries its own mesh's position, flipped texture coordinate and
    // tangent basis; the line's corners only keep the streams aligned.
    std::vector<glm::vec3> positions = readBuffer<glm::vec3>(model.buffers[Model::POSITION_BUFFER]);
    std::vector<glm::vec2> uvs = readBuffer<glm::vec2>(model.buffers[Model::TEXCOORD_BUFFER]);
    std::vector<glm::vec3> normals = readBuffer<glm::vec3>(model.buffers[Model::NORMAL_BUFFER]);
    std::vector<glm::vec3> tangents = readBuffer<glm::vec3>(model.buffers[Model::TANGENT_BUFFER]);
    std::vector<glm::vec3> bitangents =
        readBuffer<glm::vec3>(model.buffers[Model::BITANGENT_BUFFER]);
    std::vector<GLuint> indices = readBuffer<GLuint>(model.buffers[Model::INDEX_BUFFER]);
    ASSERT_EQ(indices.size(), 15u);
    for (int m = 0; m < 2; ++m) {
        const Mesh& mesh = model.meshes[m];
        for (std::uint32_t k = 0; k < mesh.indexCount; ++k) {
            GLuint v = mesh.baseVertex + indices[mesh.baseIndex + k];
            ASSERT_LT(v, 15u);
            SCOPED_TRACE(testing::Message() << "mesh " << m << " vertex " << v);
            const glm::vec3& p = positions[v];
            glm::vec2 uv = uvs[v];
            if (m == 0) {
                EXPECT_LT(v, 6u);
                EXPECT_FLOAT_EQ(p.z, 0.0f);
                EXPECT_FLOAT_EQ(uv.x, p.x / 2);
                EXPECT_FLOAT_EQ(uv.y, 1.0f - p.y / 2);
                EXPECT_NEAR(tangents[v].x, 2.0f, 1e-5f);
                EXPECT_NEAR(tangents[v].y, 0.0f, 1e-5f);
                EXPECT_NEAR(tangents[v].z, 0.0f, 1e-5f);
                EXPECT_NEAR(bitangents[v].x, 0.0f, 1e-5f);
                EXPECT_NEAR(bitangents[v].y, -2.0f, 1e-5f) << "V is flipped on import";
                EXPECT_NEAR(bitangents[v].z, 0.0f, 1e-5f);
                EXPECT_NEAR(normals[v].z, 1.0f, 1e-5f);
            } else {
                EXPECT_GE(v, 6u);
                EXPECT_FLOAT_EQ(p.x, 1.0f);
                EXPECT_FLOAT_EQ(uv.x, p.y / 3);
                EXPECT_FLOAT_EQ(uv.y, 1.0f - p.z / 4);
                EXPECT_NEAR(tangents[v].x, 0.0f, 1e-5f);
                EXPECT_NEAR(tangents[v].y, 3.0f, 1e-5f);
                EXPECT_NEAR(tangents[v].z, 0.0f, 1e-5f);
                EXPECT_NEAR(bitangents[v].x, 0.0f, 1e-5f);
                EXPECT_NEAR(bitangents[v].y, 0.0f, 1e-5f);
                EXPECT_NEAR(bitangents[v].z, -4.0f, 1e-5f);
                EXPECT_NEAR(std::fabs(normals[v].x), 1.0f, 1e-5f);
            }
        }
    }
}

TEST_F(ModelGLTest, MeshWithoutTextureCoordinatesGetsZeroUvAndAFiniteBasis) {
    Model model;
    CaptureStdout();
    bool loaded = model.load(write("screen.obj", screenObj), file("none.png"), "", "");
    GetCapturedStdout();
    ASSERT_TRUE(loaded);
    ASSERT_EQ(model.meshes.size(), 2u);
    EXPECT_EQ(model.meshes[1].indexCount, 9u);
    expectConsistentStreams(model);

    std::vector<glm::vec2> uvs = readBuffer<glm::vec2>(model.buffers[Model::TEXCOORD_BUFFER]);
    std::vector<glm::vec3> tangents = readBuffer<glm::vec3>(model.buffers[Model::TANGENT_BUFFER]);
    std::vector<glm::vec3> bitangents =
        readBuffer<glm::vec3>(model.buffers[Model::BITANGENT_BUFFER]);
    ASSERT_EQ(uvs.size(), 15u);
    for (size_t v = 0; v < uvs.size(); ++v) {
        SCOPED_TRACE(testing::Message() << "vertex " << v);
        EXPECT_EQ(uvs[v], glm::vec2(0.0f, 0.0f));
        // Every face lies in z = 0: the basis must lie in that plane and not vanish.
        ASSERT_TRUE(isFinite(tangents[v]));
        ASSERT_TRUE(isFinite(bitangents[v]));
        EXPECT_GT(glm::length(tangents[v]), 0.5f);
        EXPECT_GT(glm::length(bitangents[v]), 0.5f);
    }
    std::vector<GLuint> indices = readBuffer<GLuint>(model.buffers[Model::INDEX_BUFFER]);
    for (const Mesh& mesh : model.meshes) {
        for (std::uint32_t k = 0; k < mesh.indexCount; ++k) {
            GLuint v = mesh.baseVertex + indices[mesh.baseIndex + k];
            EXPECT_NEAR(tangents[v].z, 0.0f, 1e-5f) << "vertex " << v;
            EXPECT_NEAR(bitangents[v].z, 0.0f, 1e-5f) << "vertex " << v;
        }
    }
}

TEST_F(ModelGLTest, DrawsEveryMeshAtItsOwnVerticesWithTheOneColourTexture) {
    std::string colour = writeImage("colour.png", "lime");
    Model model;
    CaptureStdout();
    bool loaded = model.load(write("screen.obj", screenObj), colour, "", "");
    GetCapturedStdout();
    ASSERT_TRUE(loaded);
    // Materials past the first: a table lookup by material index would find no slot.
    ASSERT_NE(model.meshes[1].materialIndex, 0u);
    ASSERT_EQ(model.colorTextures.size(), 1u);

    expectScreenModelCoverage(render(model, true), {0, 255, 0, 255});
}

TEST_F(ModelGLTest, DrawBindsColourNormalAndSpecularToUnitsZeroTwoThree) {
    std::string colour = writeImage("colour.png", "lime");
    std::string normal = writeImage("normal.png", "blue");
    std::string specular = writeImage("specular.png", "white");
    Model model;
    CaptureStdout();
    bool loaded = model.load(write("screen.obj", screenObj), colour, normal, specular);
    EXPECT_EQ(GetCapturedStdout(), "Loaded Texture: " + colour + "\nLoaded Normal Texture: " +
                                       normal + "\nLoaded Specular Texture: " + specular + "\n");
    ASSERT_TRUE(loaded);
    ASSERT_NE(model.colorTextures[0], nullptr);
    ASSERT_NE(model.normalTexture, nullptr);
    ASSERT_NE(model.specularTexture, nullptr);
    EXPECT_EQ(model.normalTexture->path, normal);
    EXPECT_EQ(model.specularTexture->path, specular);

    GLuint others[4];  // what each unit holds before the draw
    glGenTextures(4, others);
    for (int unit = 0; unit < 4; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, others[unit]);
    }
    glActiveTexture(GL_TEXTURE0);
    render(model, true);
    EXPECT_EQ(boundTexture(GL_TEXTURE0), static_cast<GLint>(model.colorTextures[0]->name));
    EXPECT_EQ(boundTexture(GL_TEXTURE1), static_cast<GLint>(others[1])) << "the shadow unit";
    EXPECT_EQ(boundTexture(GL_TEXTURE2), static_cast<GLint>(model.normalTexture->name));
    EXPECT_EQ(boundTexture(GL_TEXTURE3), static_cast<GLint>(model.specularTexture->name));

    // Deleting the model deletes its textures.
    GLuint names[3] = {model.colorTextures[0]->name, model.normalTexture->name,
                       model.specularTexture->name};
    for (int unit = 0; unit < 4; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    model.clear();
    for (GLuint name : names) {
        EXPECT_FALSE(glIsTexture(name)) << name;
    }
    glDeleteTextures(4, others);
}

TEST_F(ModelGLTest, EmptyNormalAndSpecularPathsLoadAndPrintNothingAndLeaveTheirUnits) {
    std::string colour = writeImage("colour.png", "lime");
    Model model;
    CaptureStdout();
    bool loaded = model.load(write("screen.obj", screenObj), colour, "", "");
    EXPECT_EQ(GetCapturedStdout(), "Loaded Texture: " + colour + "\n");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(model.normalTexture, nullptr);
    EXPECT_EQ(model.specularTexture, nullptr);

    GLuint others[4];  // what each unit holds before the draw
    glGenTextures(4, others);
    for (int unit = 0; unit < 4; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, others[unit]);
    }
    glActiveTexture(GL_TEXTURE0);
    render(model, true);
    EXPECT_EQ(boundTexture(GL_TEXTURE2), static_cast<GLint>(others[2]));
    EXPECT_EQ(boundTexture(GL_TEXTURE3), static_cast<GLint>(others[3]));
    for (int unit = 0; unit < 4; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(4, others);
}

TEST_F(ModelGLTest, MissingTexturesAreReportedDroppedAndTheModelStillDraws) {
    std::string colour = file("missing-colour.png");
    std::string normal = file("missing-normal.png");
    std::string specular = file("missing-specular.png");
    Model model;
    CaptureStdout();
    bool loaded = model.load(write("screen.obj", screenObj), colour, normal, specular);
    std::string out = GetCapturedStdout();
    EXPECT_TRUE(loaded) << "a missing texture never fails the load";

    // Each texture: the texture loader's line, then the model's.
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(out.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 6u) << out;
    const std::pair<std::string, std::string> expected[] = {
        {colour, "Error loading texture '" + colour + "'"},
        {normal, "Error loading normal texture '" + normal + "'"},
        {specular, "Error loading specular texture '" + specular + "'"}};
    for (int i = 0; i < 3; ++i) {
        std::string head = "Error loading texture '" + expected[i].first + "': ";
        EXPECT_EQ(lines[2 * i].substr(0, head.size()), head);
        EXPECT_GT(lines[2 * i].size(), head.size()) << "the library's message";
        EXPECT_EQ(lines[2 * i + 1], expected[i].second);
    }
    ASSERT_EQ(model.colorTextures.size(), 1u);
    EXPECT_EQ(model.colorTextures[0], nullptr);
    EXPECT_EQ(model.normalTexture, nullptr);
    EXPECT_EQ(model.specularTexture, nullptr);

    expectScreenModelCoverage(render(model, false), {255, 0, 0, 255});
}

TEST_F(ModelGLTest, MissingModelFileIsReportedAndLoadsNoTexture) {
    std::string path = file("missing.obj");
    Model model;
    CaptureStdout();
    bool loaded = model.load(path, writeImage("colour.png", "lime"),
                             writeImage("normal.png", "blue"), writeImage("specular.png", "white"));
    std::string out = GetCapturedStdout();
    EXPECT_FALSE(loaded);
    std::string head = "Error parsing '" + path + "': '";
    ASSERT_EQ(out.substr(0, head.size()), head);
    ASSERT_GE(out.size(), head.size() + 2);
    EXPECT_EQ(out.substr(out.size() - 2), "'\n");
    std::string message = out.substr(head.size(), out.size() - head.size() - 2);
    EXPECT_NE(message.find(path), std::string::npos) << "the importer names the file";
    EXPECT_EQ(message.find('\n'), std::string::npos) << "one line only";

    EXPECT_TRUE(model.meshes.empty());
    for (Texture* texture : model.colorTextures) {
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_EQ(model.normalTexture, nullptr);
    EXPECT_EQ(model.specularTexture, nullptr);
    std::vector<unsigned char> pixels = render(model, false);
    EXPECT_EQ(pixel(pixels, 16, 32), (std::vector<int>{0, 0, 0, 0})) << "draws nothing";
}

TEST_F(ModelGLTest, BadModelFilesAreReportedAndLeaveTheModelEmpty) {
    std::string binary;
    for (int i = 0; i < 600; ++i) {
        binary += static_cast<char>((i * 151 + 7) % 256);
    }
    std::string full = twoMeshObj;
    fs::create_directories(dir / "folder.obj");
    fs::create_directories(dir / "folder");
    const std::string paths[] = {
        write("empty.obj", ""),
        write("text.obj", "this is not a model, only words in a file with a model's name\n"),
        write("binary.obj", binary),
        write("vertices-only.obj", full.substr(0, full.find("vt"))),  // cut before any face
        write("bad-index.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 9\n"),
        write("points.obj", "v 0 0 0\nv 1 0 0\nv 1 1 0\np 1\nl 2 3\n"),
        file("folder.obj"),
        file("folder"),
    };
    std::string colour = writeImage("colour.png", "lime");
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        Model model;
        CaptureStdout();
        bool loaded = model.load(path, colour, colour, colour);
        std::string out = GetCapturedStdout();
        EXPECT_FALSE(loaded);
        std::string head = "Error parsing '" + path + "': '";
        EXPECT_EQ(out.substr(0, head.size()), head) << out;
        EXPECT_GT(out.size(), head.size() + 2) << "the reason is given";
        EXPECT_EQ(out.find('\n'), out.size() - 1) << "exactly one line: " << out;
        EXPECT_EQ(out.substr(out.size() - 2), "'\n");
        EXPECT_TRUE(model.meshes.empty());
        EXPECT_EQ(model.normalTexture, nullptr);
        EXPECT_EQ(model.specularTexture, nullptr);
        model.draw();
    }
}

// A model file cut off anywhere either fails with the parse line or loads aligned streams.
// Every byte of the face and line elements is a cut point, elsewhere each line's end and middle.
TEST_F(ModelGLTest, CutOffModelFileNeverMisalignsTheStreams) {
    std::string full = twoMeshObj;
    std::vector<size_t> cuts{0};
    for (size_t start = 0, end; (end = full.find('\n', start)) != std::string::npos;
         start = end + 1) {
        if (full[start] == 'f' || full[start] == 'l') {
            for (size_t length = start + 1; length <= end; ++length) {
                cuts.push_back(length);
            }
        } else {
            cuts.push_back((start + end) / 2);
            cuts.push_back(end);
        }
        cuts.push_back(end + 1);
    }
    std::string path = file("cut.obj");
    int loadedCount = 0;
    for (size_t length : cuts) {
        write("cut.obj", full.substr(0, length));
        SCOPED_TRACE(testing::Message() << "first " << length << " bytes");
        Model model;
        CaptureStdout();
        bool loaded = model.load(path, file("none.png"), "", "");
        std::string out = GetCapturedStdout();
        if (loaded) {
            ++loadedCount;
            EXPECT_FALSE(model.meshes.empty());
            expectConsistentStreams(model);
        } else {
            EXPECT_EQ(out.rfind("Error parsing '" + path + "': '", 0), 0u) << out;
            EXPECT_TRUE(model.meshes.empty());
        }
        if (HasFailure()) {
            break;
        }
    }
    EXPECT_GT(loadedCount, 0) << "longer prefixes hold whole triangles";
}

TEST_F(ModelGLTest, ClearAndReloadReleaseTheOldObjects) {
    std::string colour = writeImage("colour.png", "lime");
    std::string obj = write("two.obj", twoMeshObj);
    Model model;
    CaptureStdout();
    ASSERT_TRUE(model.load(obj, colour, colour, colour));
    GLuint array = model.vertexArray;
    std::vector<GLuint> buffers(model.buffers, model.buffers + Model::BUFFER_COUNT);
    GLuint textures[3] = {model.colorTextures[0]->name, model.normalTexture->name,
                          model.specularTexture->name};
    model.clear();
    EXPECT_FALSE(glIsVertexArray(array));
    EXPECT_EQ(model.vertexArray, 0u);
    for (int slot = 0; slot < Model::BUFFER_COUNT; ++slot) {
        EXPECT_FALSE(glIsBuffer(buffers[slot])) << "slot " << slot;
        EXPECT_EQ(model.buffers[slot], 0u) << "slot " << slot;
    }
    for (GLuint texture : textures) {
        EXPECT_FALSE(glIsTexture(texture)) << texture;
    }
    ASSERT_EQ(model.colorTextures.size(), 1u) << "the slot stays";
    EXPECT_EQ(model.colorTextures[0], nullptr);
    EXPECT_EQ(model.normalTexture, nullptr);
    EXPECT_EQ(model.specularTexture, nullptr);

    // A failed second load keeps none of the first's meshes to draw from empty buffers.
    ASSERT_TRUE(model.load(obj, colour, colour, ""));
    GLuint firstTextures[2] = {model.colorTextures[0]->name, model.normalTexture->name};
    EXPECT_FALSE(model.load(file("missing.obj"), colour, "", ""));
    GetCapturedStdout();
    EXPECT_TRUE(model.meshes.empty());
    for (GLuint texture : firstTextures) {
        EXPECT_FALSE(glIsTexture(texture)) << texture;
    }
    EXPECT_EQ(model.normalTexture, nullptr);
    model.draw();
}

}  // namespace
