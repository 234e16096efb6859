#include "game/Game.h"
#include "support/TextLines.h"

#include "app/DebugKeysScriptedInput.h"
#include "app/Startup.h"
#include "game/PhysicsWorld.h"
#include "game/SceneAssemblyContent.h"
#include "render/RenderTarget.h"
#include "render/ShaderProgram.h"
#include "scene/Camera.h"
#include "scene/DirectionalLight.h"
#include "scene/ParticleSystem.h"
#include "scene/Random.h"
#include "scene/SkyBox.h"
#include "scene/Tree.h"
#include "support/GLContext.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using dusk::scene::positionOf;

using dusk::test::linesOf;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The position in one recorded line of "camData.txt"; false if the line is not in the format.
bool parseRecording(const std::string& line, glm::vec3* position) {
    char rest[8] = {};
    int matched = std::sscanf(line.c_str(), "ballPath.push_back(glm::vec3(%ff, %ff, %ff)%7s",
                              &position->x, &position->y, &position->z, rest);
    return matched == 4 && std::string(rest) == ");";
}

glm::ivec2 textureSize(GLuint texture) {
    glm::ivec2 size(0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size.x);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size.y);
    return size;
}

// The lines the loaders print for one model with a colour texture and both maps.
std::vector<std::string> loadedLines(const std::string& color, const std::string& normal,
                                     const std::string& specular) {
    return {"Loaded Texture: Model/Image/" + color, "Loaded Normal Texture: Model/Image/" + normal,
            "Loaded Specular Texture: Model/Image/" + specular};
}

class SceneAssemblyGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::setInput(&keys);
        dusk::resetRandom();
        savedWidth = windowWidth;
        savedHeight = windowHeight;
        // A size of its own, unlike the test context's, so that a wrong source shows.
        windowWidth = 288;
        windowHeight = 176;
    }
    void TearDown() override {
        camDataStream.close();
        camDataStream.clear();
        glfwSetWindowShouldClose(window, GLFW_FALSE);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        windowWidth = savedWidth;
        windowHeight = savedHeight;
        dusk::resetRandom();
        dusk::setInput(nullptr);
        GLTest::TearDown();
    }

    // The stand-in files in a fresh folder, which becomes the working directory.
    void makeContent(const std::string& folder) {
        content = std::make_unique<dusk::test::SceneContentDirectory>(folder);
    }

    // Builds the Game, as the program does, and never deletes it.
    Game* build(std::string* output = nullptr) {
        testing::internal::CaptureStdout();
        Game* game = new Game(window);
        std::string printed = testing::internal::GetCapturedStdout();
        if (output != nullptr) {
            *output = printed;
        }
        return game;
    }

    Game* assemble(const std::string& folder, std::string* output = nullptr) {
        makeContent(folder);
        return build(output);
    }

    std::string poll(Game* game, std::initializer_list<int> held) {
        keys.down = held;
        testing::internal::CaptureStdout();
        game->pollDebugKeys();
        keys.down.clear();
        return testing::internal::GetCapturedStdout();
    }

    dusk::test::ScriptedKeys keys;
    std::unique_ptr<dusk::test::SceneContentDirectory> content;
    int savedWidth = 0;
    int savedHeight = 0;
};

TEST_F(SceneAssemblyGLTest, LoadsEveryObjectInOrderAndSaysNothingElse) {
    std::string output;
    assemble("assembly-output", &output);

    std::vector<std::string> expected;
    auto append = [&](const std::vector<std::string>& lines) {
        expected.insert(expected.end(), lines.begin(), lines.end());
    };
    append(loadedLines("ground19.jpg", "ground19n.jpg", "ground19s.jpg"));
    append(loadedLines("skybox2.jpg", "Default_NM.png", "Default_SM.png"));
    append(loadedLines("stone11.jpg", "stone11n.jpg", "stone11s.jpg"));
    append(loadedLines("est9.jpg", "Default_NM.png", "Default_SM.png"));
    expected.push_back("Loading Model: Tree 1");
    append(loadedLines("tree1.png", "Default_NM.png", "Default_SM.png"));
    expected.push_back("Loading Model: Tree 3");
    append(loadedLines("tree1.png", "Default_NM.png", "Default_SM.png"));
    EXPECT_EQ(linesOf(output), expected);
}

TEST_F(SceneAssemblyGLTest, FieldsHoldTheSceneOfTheTables) {
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    btDiscreteDynamicsWorld* world = getDynamicsWorld();
    const int bodiesBefore = world->getNumCollisionObjects();
    Game* game = assemble("assembly-fields");

    // The programs: each from its own files, five of them in `shaders`, in order.
    struct Built {
        ShaderProgram* program;
        const char* vertexFile;
        const char* fragmentFile;
    };
    const Built built[] = {
        {game->blinnPhongShader, "blinnphong.vert", "blinnphong.frag"},
        {game->skyShader, "blinnphong.vert", "sky.frag"},
        {game->shadowMapShader, "shadowMap.vertexshader", "shadowMap.fragmentshader"},
        {game->depthShader, "depth.vert", "depth.frag"},
        {game->particleShader, "particlesShader.vert", "particlesShader.frag"},
        {game->lensFlareShader, "lensFlare.vert", "lensFlare.frag"},
    };
    for (const Built& program : built) {
        ASSERT_NE(program.program, nullptr) << program.fragmentFile;
        GLuint name = program.program->program;
        EXPECT_NE(glGetUniformLocation(name, dusk::test::markerOf(program.vertexFile).c_str()), -1)
            << program.vertexFile;
        EXPECT_NE(glGetUniformLocation(name, dusk::test::markerOf(program.fragmentFile).c_str()),
                  -1)
            << program.fragmentFile;
    }
    const std::vector<ShaderProgram*> inShaders = {game->blinnPhongShader, game->skyShader,
                                                   game->shadowMapShader, game->depthShader,
                                                   game->lensFlareShader};
    EXPECT_EQ(game->shaders, inShaders);

    // The light holds its own copy of that list and has already handed out its vector.
    ASSERT_NE(game->light, nullptr);
    EXPECT_EQ(game->light->shaders, inShaders);
    EXPECT_EQ(game->light->direction, glm::vec3(100.0f));
    EXPECT_EQ(positionOf(game->light->modelMatrix), glm::vec3(100.0f));
    for (ShaderProgram* program :
         {game->blinnPhongShader, game->skyShader, game->shadowMapShader, game->depthShader,
          game->lensFlareShader, game->particleShader}) {
        glm::vec3 light(-1.0f);
        glGetUniformfv(program->program, glGetUniformLocation(program->program, "mainLight"),
                       &light.x);
        EXPECT_EQ(light, program == game->particleShader ? glm::vec3(0.0f) : glm::vec3(100.0f));
    }

    // Construction ends with the camera-depth framebuffer bound and the set-up's GL state.
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), game->depthFramebuffer);
    EXPECT_NE(game->depthFramebuffer, 0u);
    EXPECT_NE(game->shadowFramebuffer, game->depthFramebuffer);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LESS);

    // Every off-screen texture has the configured window size.
    EXPECT_EQ(game->width, 288);
    EXPECT_EQ(game->height, 176);
    ASSERT_NE(game->sceneTarget, nullptr);
    for (GLuint texture :
         {game->sceneTarget->colorTexture, game->sceneTarget->depthTexture,
          game->shadowDepthTexture, game->depthColorTexture, game->depthDepthTexture}) {
        EXPECT_NE(texture, 0u);
        EXPECT_EQ(textureSize(texture), glm::ivec2(288, 176)) << "texture " << texture;
    }
    ASSERT_NE(game->screenQuad, nullptr);

    // The objects of the tables.
    ASSERT_NE(game->ground, nullptr);
    EXPECT_EQ(game->ground->modelMatrix, glm::scale(glm::mat4(1.0f), glm::vec3(2.5f, 1.0f, 2.5f)));
    EXPECT_EQ(game->ground->shader, game->blinnPhongShader);
    ASSERT_NE(game->castle, nullptr);
    EXPECT_EQ(game->castle->modelMatrix, glm::mat4(1.0f));
    ASSERT_NE(game->ball, nullptr);
    EXPECT_EQ(positionOf(game->ball->modelMatrix), game->ballPath[0]);
    ASSERT_NE(game->skyBox, nullptr);
    EXPECT_EQ(game->skyBox->shader, game->skyShader);
    EXPECT_EQ(game->skyBox->modelMatrix, glm::mat4(1.0f));

    struct Row {
        glm::vec3 emitter;
        int spawnRadius;
        float particleSize, maxSpeed, verticalSpread;
        int maxParticles;
        bool animatedAtlas;
    };
    const Row table[4] = {
        {{9, 35, -3}, 15, 25.0f, 0.05f, 1.0f, 10, false},
        {{0, 5, 0}, 47, 20.0f, 0.05f, 0.1f, 450, false},
        {game->ballPath[0], 0, 5.0f, 1.0f, 1.0f, 1, false},
        {{23.7951f, 31.1753f, -1.71746f}, 0, 5.0f, 1.0f, 1.0f, 1, true},
    };
    for (int i = 0; i < 4; ++i) {
        const dusk::scene::ParticleSystem* system = game->particleSystems[i];
        ASSERT_NE(system, nullptr) << "particle system " << i;
        EXPECT_EQ(system->emitterPosition, table[i].emitter) << "particle system " << i;
        EXPECT_EQ(system->spawnRadius, table[i].spawnRadius) << "particle system " << i;
        EXPECT_EQ(system->particleSize, table[i].particleSize) << "particle system " << i;
        EXPECT_EQ(system->maxSpeed, table[i].maxSpeed) << "particle system " << i;
        EXPECT_EQ(system->verticalSpread, table[i].verticalSpread) << "particle system " << i;
        EXPECT_EQ(system->maxParticles, table[i].maxParticles) << "particle system " << i;
        EXPECT_EQ(system->animatedAtlas, table[i].animatedAtlas) << "particle system " << i;
    }

    // Forty trees, twenty of each kind, and their trunks beside the five bounds in the world.
    ASSERT_EQ(game->trees.size(), 40u);
    for (size_t i = 0; i < 40; ++i) {
        EXPECT_EQ(game->trees[i]->model, game->trees[i < 20 ? 0 : 20]->model) << "tree " << i;
        EXPECT_EQ(game->trees[i]->shader, game->blinnPhongShader);
    }
    EXPECT_NE(game->trees[0]->model, game->trees[20]->model);
    EXPECT_EQ(world->getNumCollisionObjects(), bodiesBefore + 45);

    // The camera waits at the start of the intro, looking at the second path point.
    ASSERT_NE(game->camera, nullptr);
    EXPECT_EQ(positionOf(game->camera->modelMatrix), game->ballPath[0]);
    glm::vec3 ahead = glm::vec3(game->camera->getViewMatrix() * glm::vec4(game->ballPath[1], 1));
    EXPECT_NEAR(ahead.x, 0.0f, 1e-3f);
    EXPECT_NEAR(ahead.y, 0.0f, 1e-3f);
    EXPECT_LT(ahead.z, 0.0f);
}

TEST_F(SceneAssemblyGLTest, StartTruncatesAnOldRecording) {
    makeContent("assembly-truncate");
    dusk::test::writeTextFile(content->file("camData.txt"), "ballPath.push_back(old); \n");
    build();
    EXPECT_TRUE(camDataStream.is_open());
    EXPECT_EQ(readFile("camData.txt"), "");
}

TEST_F(SceneAssemblyGLTest, ParticleSystemsDrawBeforeTheTrees) {
    Game* game = assemble("assembly-random");
    std::vector<glm::vec3> assembled;
    for (dusk::scene::Tree* tree : game->trees) {
        assembled.push_back(positionOf(tree->modelMatrix));
    }

    // The same draws by hand: the four systems of the table, then the two forests.
    dusk::resetRandom();
    testing::internal::CaptureStdout();
    new dusk::scene::ParticleSystem(glm::vec3(9, 35, -3), 15, 25.0f, 0.05f, 1.0f, 10, false,
                                    "Model/Image/nebular.png");
    new dusk::scene::ParticleSystem(glm::vec3(0, 5, 0), 47, 20.0f, 0.05f, 0.1f, 450, false,
                                    "Model/Image/nebular.png");
    new dusk::scene::ParticleSystem(game->ballPath[0], 0, 5.0f, 1.0f, 1.0f, 1, false,
                                    "Model/Image/Light_Texture.png");
    new dusk::scene::ParticleSystem(glm::vec3(23.7951f, 31.1753f, -1.71746f), 0, 5.0f, 1.0f, 1.0f,
                                    1, true, "Model/Image/fire_atlas.png");
    std::vector<glm::vec3> byHand;
    for (const char* model : {"Model/Object/tree1.obj", "Model/Object/tree3.obj"}) {
        auto* templateTree = new dusk::scene::Tree(model, glm::mat4(1.0f), game->blinnPhongShader,
                                                   "Model/Image/tree1.png");
        for (int i = 0; i < 20; ++i) {
            byHand.push_back(positionOf(dusk::scene::Tree(*templateTree).modelMatrix));
        }
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(assembled, byHand);
}

TEST_F(SceneAssemblyGLTest, AfterTheIntroWMovesTheCamera) {
    Game* game = assemble("assembly-intro");
    game->render();

    // The intro hands over once the path parameter passes 1.6: about 43 s of 0.1 s frames.
    int frames = 0;
    while (game->introRunning && frames < 1000) {
        game->update(0.1f);
        ++frames;
    }
    ASSERT_FALSE(game->introRunning);
    EXPECT_GT(frames, 400);
    EXPECT_LT(frames, 450);

    EXPECT_EQ(poll(game, {GLFW_KEY_SPACE}), "");
    for (int i = 0; i < 10; ++i) {
        keys.down = {GLFW_KEY_W};
        game->update(0.1f);
    }
    keys.down.clear();
    poll(game, {GLFW_KEY_SPACE});
    game->render();

    std::vector<std::string> lines = linesOf(readFile("camData.txt"));
    ASSERT_EQ(lines.size(), 2u);
    glm::vec3 before(0.0f);
    glm::vec3 after(0.0f);
    ASSERT_TRUE(parseRecording(lines[0], &before)) << lines[0];
    ASSERT_TRUE(parseRecording(lines[1], &after)) << lines[1];
    // Ten frames of W at 0.2 units each, to five recorded digits.
    EXPECT_NEAR(glm::length(after - before), 2.0f, 0.01f);

    // A frozen camera stays where it is.
    glm::vec3 unfrozen = positionOf(game->camera->modelMatrix);
    EXPECT_EQ(poll(game, {GLFW_KEY_F10}), "");
    for (int i = 0; i < 10; ++i) {
        keys.down = {GLFW_KEY_W};
        game->update(0.1f);
    }
    EXPECT_EQ(positionOf(game->camera->modelMatrix), unfrozen);
}

}  // namespace
