#include "support/TestScene.h"

#include "game/Game.h"
#include "render/DepthTargets.h"
#include "render/RenderTarget.h"
#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "scene/Camera.h"
#include "scene/DirectionalLight.h"
#include "scene/ParticleSystem.h"
#include "scene/SkyBox.h"
#include "scene/Tree.h"
// After the headers that bring glm: Magick++ otherwise takes assert.h into its own namespace.
#include "assets/Texture.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace dusk::test {

namespace {

// Two triangles from (-1, -1) to (1, 1) in the plane z = 0, facing +z.
const char* const squareModel = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                                "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                                "f 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n";

// The cube from -1 to 1 with every face turned inward, as a sky is seen from inside.
const char* const insideOutCubeModel = "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                                       "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\nvt 0.5 0.5\n"
                                       "f 1/1 2/1 3/1\nf 1/1 3/1 4/1\n"
                                       "f 6/1 5/1 8/1\nf 6/1 8/1 7/1\n"
                                       "f 5/1 1/1 4/1\nf 5/1 4/1 8/1\n"
                                       "f 2/1 6/1 7/1\nf 2/1 7/1 3/1\n"
                                       "f 5/1 6/1 2/1\nf 5/1 2/1 1/1\n"
                                       "f 4/1 3/1 7/1\nf 4/1 7/1 8/1\n";

const char* const objectVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 2) in vec2 uv;
uniform mat4 model;
uniform mat4 view_proj;
out vec2 texCoord;
void main() {
    texCoord = uv;
    gl_Position = view_proj * model * vec4(position, 1.0);
}
)";

const char* const depthPassVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 2) in vec2 uv;
uniform mat4 model;
uniform mat4 depth_view_proj;
out vec2 texCoord;
void main() {
    texCoord = uv;
    gl_Position = depth_view_proj * model * vec4(position, 1.0);
}
)";

// The inputs every program of the Game's list receives each frame, kept alive at no visible
// weight so that they can be read back.
const char* const frameInputs = R"(
uniform mat4 view_proj;
uniform mat4 view;
uniform int pLightCount;
uniform vec3 pLightPos;
uniform int disableNormalMapping;
uniform int disableSpecularMapping;
uniform vec3 fog_color;
uniform vec3 mainLight;
float frameInputs() {
    return (view_proj[0][0] + view[0][0] + float(pLightCount) + pLightPos.x +
            float(disableNormalMapping + disableSpecularMapping) + fog_color.x + mainLight.x) *
           1e-9;
}
)";

std::string fragment(const std::string& declarations, const std::string& body) {
    return "#version 330 core\nin vec2 texCoord;\nout vec4 color;\n" + declarations + frameInputs +
           "void main() {\n" + body + "}\n";
}

const std::string litFragment =
    fragment("uniform sampler2D color_texture;\n"
             "uniform sampler2D normal_texture;\n"
             "uniform sampler2D specular_texture;\n"
             "uniform sampler2D myTextureSampler;\n"
             "uniform sampler2DShadow shadowMap;\n"
             "uniform mat4 biasVP;\n",
             "    float keep = texture(normal_texture, texCoord).r +\n"
             "                 texture(specular_texture, texCoord).r +\n"
             "                 texture(myTextureSampler, texCoord).r +\n"
             "                 texture(shadowMap, vec3(texCoord, 0.5)) + biasVP[0][0];\n"
             "    color = vec4(texture(color_texture, texCoord).rgb, 1.0) +\n"
             "            vec4(keep * 1e-9 + frameInputs());\n");

const std::string skyFragment = fragment(
    "uniform sampler2D color_texture;\n",
    "    color = vec4(texture(color_texture, texCoord).rgb, 1.0) + vec4(frameInputs());\n");

// The camera-depth pass shows which object covers each pixel.
const std::string depthFragment = skyFragment;

const std::string shadowMapFragment = fragment("", "    color = vec4(frameInputs());\n");

const char* const lensFlareVertex = R"(#version 330 core
in vec3 position;
in vec2 uv;
out vec2 texCoord;
void main() {
    texCoord = uv;
    gl_Position = vec4(position, 1.0);
}
)";

const std::string lensFlareFragment =
    fragment("uniform sampler2D sceneTexture;\n"
             "uniform int transparencyFlag;\n",
             "    color = vec4(1.0 - texture(sceneTexture, texCoord).rgb, 1.0) +\n"
             "            vec4(float(transparencyFlag) * 1e-9 + frameInputs());\n");

const char* const particleVertex = R"(#version 330 core
layout(location = 0) in vec3 corner;
layout(location = 1) in vec4 centerSize;
layout(location = 2) in vec2 cornerUv;
uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform mat4 VP;
out vec2 texCoord;
void main() {
    vec3 p = centerSize.xyz +
             (CameraRight_worldspace * corner.x + CameraUp_worldspace * corner.y) * centerSize.w;
    texCoord = cornerUv;
    gl_Position = VP * vec4(p, 1.0);
}
)";

const char* const particleFragment = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D myTextureSampler;
uniform sampler2D depthTexture;
uniform vec3 cameraPos;
uniform int allowLensFlare;
uniform int disableSoftParticles;
out vec4 color;
void main() {
    float keep = (texture(depthTexture, texCoord).r + cameraPos.x) * 1e-9;
    float flags = (128.0 * float(allowLensFlare) + 64.0 * float(disableSoftParticles)) / 255.0;
    color = vec4(texture(myTextureSampler, texCoord).rg, flags, 1.0) + vec4(keep);
}
)";

const glm::vec3 cameraEye(0.0f, 0.0f, 10.0f);

glm::mat4 at(const glm::vec3& center, const glm::vec3& halfSize) {
    return glm::scale(glm::translate(glm::mat4(1.0f), center), halfSize);
}

std::string colorName(glm::u8vec3 color) {
    std::ostringstream name;
    name << int(color.r) << "-" << int(color.g) << "-" << int(color.b) << ".png";
    return name.str();
}

}  // namespace

std::string freshTestFolder(const std::string& area) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string path = std::string(DUSK_TEST_OUTPUT_DIR) + "/" + area + "/" +
                       info->test_suite_name() + "." + info->name();
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

void writeTestFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeSolidImage(const std::string& path, glm::u8vec3 color) {
    dusk::initializeImageLibrary();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    Magick::Image image(Magick::Geometry(4, 4),
                        Magick::ColorRGB(color.r / 255.0, color.g / 255.0, color.b / 255.0));
    image.write(path);
}

ShaderProgram* buildTestProgram(const std::string& folder, const std::string& name,
                                const std::string& vertexSource,
                                const std::string& fragmentSource) {
    const std::string vertexPath = folder + "/" + name + ".vert";
    const std::string fragmentPath = folder + "/" + name + ".frag";
    writeTestFile(vertexPath, vertexSource);
    writeTestFile(fragmentPath, fragmentSource);
    return new ShaderProgram(vertexPath, fragmentPath);
}

void makeColorTarget(int width, int height, GLuint* framebuffer, GLuint* colorBuffer) {
    glGenFramebuffers(1, framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, *framebuffer);
    glGenRenderbuffers(1, colorBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, *colorBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, *colorBuffer);
    glViewport(0, 0, width, height);
}

void deleteColorTarget(GLuint* framebuffer, GLuint* colorBuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, framebuffer);
    glDeleteRenderbuffers(1, colorBuffer);
    *framebuffer = 0;
    *colorBuffer = 0;
}

glm::u8vec4 readPixel(int x, int y) {
    glm::u8vec4 value(0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &value.x);
    return value;
}

void restoreDefaultGlState() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (GLenum unit : {GL_TEXTURE3, GL_TEXTURE2, GL_TEXTURE1, GL_TEXTURE0}) {
        glActiveTexture(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.0f, 0.0f);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(glfwGetCurrentContext(), &width, &height);
    glViewport(0, 0, width, height);
}

int particleFlagsBlue(bool disableSoftParticles, bool allowLensFlare) {
    return (allowLensFlare ? 128 : 0) + (disableSoftParticles ? 64 : 0);
}

glm::u8vec4 shownOnWindow(glm::u8vec4 scenePixel) {
    return {255 - scenePixel.r, 255 - scenePixel.g, 255 - scenePixel.b, 255};
}

glm::vec3 TestScene::emitterOf(int system) {
    return {-6.0f + 4.0f * static_cast<float>(system), 4.8f, 0.0f};
}

glm::vec3 TestScene::particlePoint(int system) {
    return emitterOf(system) + glm::vec3(0.3f, 0.3f, 0.0f);
}

TestScene::TestScene(GLFWwindow* window, const std::string& testFolder)
    : game(new Game(window, false)), folder(testFolder) {
    const std::string square = folder + "/square.obj";
    const std::string cube = folder + "/sky.obj";
    writeTestFile(square, squareModel);
    writeTestFile(cube, insideOutCubeModel);
    auto image = [&](glm::u8vec3 color) {
        std::string path = folder + "/" + colorName(color);
        writeSolidImage(path, color);
        return path;
    };

    // What start-up and the first assembly step leave.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0.8f, 0.8f, 0.8f, 0.8f);
    glViewport(0, 0, game->width, game->height);

    game->blinnPhongShader = buildTestProgram(folder, "blinnphong", objectVertex, litFragment);
    game->skyShader = buildTestProgram(folder, "sky", objectVertex, skyFragment);
    game->shadowMapShader =
        buildTestProgram(folder, "shadowmap", depthPassVertex, shadowMapFragment);
    game->depthShader = buildTestProgram(folder, "depth", depthPassVertex, depthFragment);
    game->particleShader = buildTestProgram(folder, "particles", particleVertex, particleFragment);
    game->lensFlareShader =
        buildTestProgram(folder, "lensflare", lensFlareVertex, lensFlareFragment);
    game->shaders = {game->blinnPhongShader, game->skyShader, game->shadowMapShader,
                     game->depthShader, game->lensFlareShader};

    game->sceneTarget = new RenderTarget(game->width, game->height);
    game->screenQuad = new ScreenQuad(game->lensFlareShader, game->sceneTarget->colorTexture,
                                      game->sceneTarget->depthTexture);

    game->camera = new dusk::scene::Camera(glm::translate(glm::mat4(1.0f), cameraEye), window);
    game->camera->setPositionAndTarget(cameraEye, glm::vec3(0.0f));

    game->ground =
        new dusk::scene::Object(square, at({-4.0f, 0.0f, -1.0f}, {3.0f, 4.0f, 1.0f}),
                                game->blinnPhongShader, image(sceneColor::ground), "", "");
    game->castle =
        new dusk::scene::Object(square, at({4.0f, 2.0f, -1.0f}, {2.0f, 1.5f, 1.0f}),
                                game->blinnPhongShader, image(sceneColor::castle), "", "");
    game->trees.push_back(new dusk::scene::Tree(square,
                                                at({4.0f, -2.5f, -1.0f}, {2.0f, 1.5f, 1.0f}),
                                                game->blinnPhongShader, image(sceneColor::tree)));
    game->skyBox = new dusk::scene::SkyBox(cube, glm::scale(glm::mat4(1.0f), glm::vec3(50.0f)),
                                           game->skyShader, image(sceneColor::sky));
    game->ball = new dusk::scene::Object(square, glm::translate(glm::mat4(1.0f), game->ballPath[0]),
                                         game->blinnPhongShader, image(sceneColor::ground), "", "");

    for (int i = 0; i < 4; ++i) {
        game->particleSystems[i] = new dusk::scene::ParticleSystem(
            emitterOf(i), 0, 1.5f, 1.0f, 1.0f, 1, i == 3, image(sceneColor::particles[i]));
    }

    game->light = new dusk::scene::DirectionalLight(
        glm::translate(glm::mat4(1.0f), glm::vec3(100.0f)), game->shaders, glm::vec3(100.0f));
    game->light->draw();

    createShadowFramebuffer(game->width, game->height, &game->shadowFramebuffer,
                            &game->shadowDepthTexture);
    createCameraDepthFramebuffer(game->width, game->height, &game->depthFramebuffer,
                                 &game->depthColorTexture, &game->depthDepthTexture);

    // The inputs an update would hand over, without the intro moving the camera.
    game->uploadFrameUniforms();
    glm::mat4 view = game->camera->getViewMatrix();
    for (int i = 0; i < 4; ++i) {
        game->particleSystems[i]->update(emitterOf(i), view, cameraEye, game->cameraProjection(),
                                         0.0f);
    }

    // As the assembly ends: the first frame's mipmaps are built for the scene colour texture.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, game->sceneTarget->colorTexture);
}

glm::ivec2 TestScene::pixelOf(const glm::vec3& world) const {
    glm::mat4 projection = glm::perspective(
        glm::radians(60.0f), static_cast<float>(game->width) / static_cast<float>(game->height),
        0.1f, 1000.0f);
    glm::mat4 view = glm::lookAt(cameraEye, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    glm::vec4 clip = projection * view * glm::vec4(world, 1.0f);
    glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc + 1.0f) * 0.5f * glm::vec2(game->width, game->height));
}

glm::ivec2 TestScene::shadowTexelOf(const glm::vec3& world) const {
    glm::mat4 lightView =
        glm::lookAt(glm::vec3(0.0f), glm::vec3(-100.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    glm::mat4 lightProjection = glm::ortho(-100.0f, 100.0f, -100.0f, 100.0f, -100.0f, 200.0f);
    glm::vec4 clip = lightProjection * lightView * glm::vec4(world, 1.0f);
    glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc + 1.0f) * 0.5f * glm::vec2(game->width, game->height));
}

}  // namespace dusk::test
