#include "render/GL.h"
#include "support/GLContext.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

// The shipped shader files compile and link here, use the inputs the program feeds them, and
// declare no input it does not feed (a misspelt name would silently stay at zero).
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

GLuint compile(GLenum type, const std::string& file, std::string* log) {
    std::string source = readFile("Dusklorne/Shader/" + file);
    if (source.empty()) {
        *log = "cannot read " + file;
        return 0;
    }
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char buffer[4096] = {};
        glGetShaderInfoLog(shader, sizeof buffer, nullptr, buffer);
        *log = file + ": " + buffer;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// The linked program, or 0 with the reason in `log`.
GLuint link(const std::string& vertexFile, const std::string& fragmentFile, std::string* log) {
    GLuint vs = compile(GL_VERTEX_SHADER, vertexFile, log);
    GLuint fs = vs ? compile(GL_FRAGMENT_SHADER, fragmentFile, log) : 0;
    if (!vs || !fs) {
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char buffer[4096] = {};
        glGetProgramInfoLog(program, sizeof buffer, nullptr, buffer);
        *log = buffer;
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

std::set<std::string> activeUniforms(GLuint program) {
    std::set<std::string> names;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, i, sizeof name, nullptr, &size, &type, name);
        names.insert(name);
    }
    return names;
}

struct ProgramFiles {
    const char* vertex;
    const char* fragment;
    std::set<std::string> uses;     // inputs the look depends on
    std::set<std::string> offered;  // everything the program may receive
};

// What every program in the per-frame list receives, plus what an object's draw sets.
std::set<std::string> frameInputs() {
    return {"view_proj",
            "view",
            "pLightCount",
            "pLightPos",
            "disableNormalMapping",
            "disableSpecularMapping",
            "fog_color",
            "mainLight",
            "model",
            "color_texture",
            "normal_texture",
            "specular_texture"};
}

std::set<std::string> plus(std::set<std::string> a, const std::set<std::string>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

std::vector<ProgramFiles> programs() {
    return {
        {"blinnphong.vert",
         "blinnphong.frag",
         {"model", "view_proj", "view", "mainLight", "pLightPos", "pLightCount", "fog_color",
          "disableNormalMapping", "disableSpecularMapping", "color_texture", "normal_texture",
          "specular_texture", "shadowMap", "biasVP"},
         plus(frameInputs(), {"myTextureSampler", "shadowMap", "biasVP"})},
        {"blinnphong.vert",
         "sky.frag",
         {"model", "view_proj", "view", "fog_color", "color_texture"},
         frameInputs()},
        {"shadowMap.vertexshader",
         "shadowMap.fragmentshader",
         {"model", "depth_view_proj", "color_texture"},
         plus(frameInputs(), {"depth_view_proj"})},
        {"depth.vert",
         "depth.frag",
         {"model", "view", "depth_view_proj", "color_texture"},
         plus(frameInputs(), {"depth_view_proj"})},
        {"particlesShader.vert",
         "particlesShader.frag",
         {"CameraRight_worldspace", "CameraUp_worldspace", "VP", "myTextureSampler", "depthTexture",
          "cameraPos", "disableSoftParticles", "allowLensFlare"},
         {"CameraRight_worldspace", "CameraUp_worldspace", "VP", "myTextureSampler", "depthTexture",
          "cameraPos", "disableSoftParticles", "allowLensFlare"}},
        {"lensFlare.vert",
         "lensFlare.frag",
         {"sceneTexture", "transparencyFlag"},
         plus(frameInputs(), {"sceneTexture", "transparencyFlag"})},
    };
}

class ShaderInterfaceGLTest : public dusk::test::GLTest {};

TEST_F(ShaderInterfaceGLTest, EveryProgramLinksAndTakesExactlyItsInputs) {
    for (const ProgramFiles& files : programs()) {
        std::string log;
        GLuint program = link(files.vertex, files.fragment, &log);
        ASSERT_NE(program, 0u) << files.vertex << " + " << files.fragment << ": " << log;
        std::set<std::string> active = activeUniforms(program);
        for (const std::string& name : files.uses) {
            EXPECT_EQ(active.count(name), 1u) << files.fragment << " does not use " << name;
        }
        for (const std::string& name : active) {
            EXPECT_EQ(files.offered.count(name), 1u)
                << files.fragment << " declares " << name << ", which nothing sets";
        }
        glDeleteProgram(program);
    }
}

TEST_F(ShaderInterfaceGLTest, AttributesSitWhereTheBuffersAre) {
    std::string log;
    for (auto [vertex, fragment] : {std::pair{"blinnphong.vert", "blinnphong.frag"},
                                    std::pair{"blinnphong.vert", "sky.frag"}}) {
        GLuint program = link(vertex, fragment, &log);
        ASSERT_NE(program, 0u) << log;
        EXPECT_EQ(glGetAttribLocation(program, "position"), 0) << fragment;
        EXPECT_EQ(glGetAttribLocation(program, "uv"), 2) << fragment;
        glDeleteProgram(program);
    }
    GLuint lit = link("blinnphong.vert", "blinnphong.frag", &log);
    ASSERT_NE(lit, 0u) << log;
    // Lighting and normal mapping need the normal and the tangent frame streams.
    EXPECT_EQ(glGetAttribLocation(lit, "normal"), 1);
    EXPECT_EQ(glGetAttribLocation(lit, "tangent"), 3);
    EXPECT_EQ(glGetAttribLocation(lit, "bitangent"), 4);
    glDeleteProgram(lit);
    GLuint particles = link("particlesShader.vert", "particlesShader.frag", &log);
    ASSERT_NE(particles, 0u) << log;
    EXPECT_EQ(glGetAttribLocation(particles, "corner"), 0);
    EXPECT_EQ(glGetAttribLocation(particles, "centreAndSize"), 1);
    EXPECT_EQ(glGetAttribLocation(particles, "uv"), 2);
    glDeleteProgram(particles);
    // The screen quad looks its two streams up by name.
    GLuint flare = link("lensFlare.vert", "lensFlare.frag", &log);
    ASSERT_NE(flare, 0u) << log;
    EXPECT_GE(glGetAttribLocation(flare, "position"), 0);
    EXPECT_GE(glGetAttribLocation(flare, "uv"), 0);
    glDeleteProgram(flare);
}

}  // namespace
