#include "scene/ParticleSystem.h"
// After a header that brings glm: Magick++ otherwise takes assert.h into its own namespace.
#include "assets/Texture.h"
#include "scene/Random.h"
#include "scene/ShaderFiles.h"
#include "support/AllocationCounter.h"
#include "support/GLContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

using dusk::test::allocationCount;
using dusk::test::countingAllocations;

namespace {

using dusk::scene::ParticleSystem;

const char* const vertexSource = R"(#version 330 core
layout(location = 0) in vec3 corner;
layout(location = 1) in vec4 centreAndSize;
layout(location = 2) in vec2 cornerUv;
uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;
uniform mat4 VP;
out vec2 uv;
void main() {
    vec3 offset = CameraRight_worldspace * corner.x + CameraUp_worldspace * corner.y;
    gl_Position = VP * vec4(centreAndSize.xyz + offset * centreAndSize.w, 1.0);
    uv = cornerUv;
}
)";

const char* const fragmentSource = R"(#version 330 core
in vec2 uv;
uniform sampler2D myTextureSampler;
uniform int allowLensFlare;
uniform int disableSoftParticles;
out vec4 color;
void main() {
    float flags = float(allowLensFlare + 2 * disableSoftParticles);
    color = texture(myTextureSampler, uv) + vec4(flags * 1e-6);
}
)";

struct Settings {
    glm::vec3 emitter{0.0f};
    int spawnRadius = 10;
    float particleSize = 4.0f;
    float maxSpeed = 1.0f;
    float verticalSpread = 1.0f;
    int maxParticles = 1;
    bool animatedAtlas = false;
};

void expectNear(const glm::vec3& actual, const glm::vec3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Positions in a fixed order, so two clouds can be compared whatever order the sort left.
std::vector<glm::vec3> ordered(const ParticleSystem& system) {
    std::vector<glm::vec3> positions;
    for (int i = 0; i < system.maxParticles; ++i) {
        positions.push_back(system.particles[i].position);
    }
    std::sort(positions.begin(), positions.end(), [](const glm::vec3& a, const glm::vec3& b) {
        return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.z < b.z;
    });
    return positions;
}

std::vector<float> bufferContents(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<float> contents(static_cast<size_t>(size) / sizeof(float));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, contents.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return contents;
}

class ParticleSystemGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        dusk::resetRandom();
        folder = dusk::test::testFolder();
        program.reset(dusk::test::buildProgram(folder, "particles", vertexSource, fragmentSource));
        glGenQueries(1, &primitivesQuery);
    }

    void TearDown() override {
        dusk::resetRandom();
        glDeleteQueries(1, &primitivesQuery);
        // The draw leaves the depth test on; the shared context starts without it.
        glDisable(GL_DEPTH_TEST);
        glUseProgram(0);
        GLTest::TearDown();
    }

    std::unique_ptr<ParticleSystem> make(const Settings& s,
                                         const std::string& texture = "missing.png") {
        return std::make_unique<ParticleSystem>(s.emitter, s.spawnRadius, s.particleSize,
                                                s.maxSpeed, s.verticalSpread, s.maxParticles,
                                                s.animatedAtlas, folder + "/" + texture);
    }

    void update(ParticleSystem& system, glm::vec3 emitter, float frameTime) {
        system.update(emitter, view, cameraPosition, projection, frameTime);
    }

    // What the particle pass does around the draw.
    void draw(ParticleSystem& system, bool disableSoftParticles = false,
              bool allowLensFlare = false) {
        glUseProgram(program->program);
        system.shader = program.get();
        system.draw(disableSoftParticles, allowLensFlare);
    }

    void frame(ParticleSystem& system, glm::vec3 emitter, float frameTime) {
        update(system, emitter, frameTime);
        draw(system);
    }

    GLuint countedDraw(ParticleSystem& system, bool disableSoftParticles, bool allowLensFlare) {
        glBeginQuery(GL_PRIMITIVES_GENERATED, primitivesQuery);
        draw(system, disableSoftParticles, allowLensFlare);
        glEndQuery(GL_PRIMITIVES_GENERATED);
        GLuint primitives = 0;
        glGetQueryObjectuiv(primitivesQuery, GL_QUERY_RESULT, &primitives);
        return primitives;
    }

    GLint intUniform(const char* name) const {
        GLint value = -7;
        glGetUniformiv(program->program, glGetUniformLocation(program->program, name), &value);
        return value;
    }

    glm::vec3 vecUniform(const char* name) const {
        glm::vec3 value(-7.0f);
        glGetUniformfv(program->program, glGetUniformLocation(program->program, name), &value.x);
        return value;
    }

    std::string folder;
    std::unique_ptr<ShaderProgram> program;
    GLuint primitivesQuery = 0;  // counts the triangles of one draw
    glm::vec3 cameraPosition{20.0f, 8.0f, -15.0f};
    glm::mat4 view = glm::lookAt(cameraPosition, glm::vec3(0.0f, 3.0f, 0.0f), glm::vec3(0, 1, 0));
    glm::mat4 projection = glm::perspective(0.8f, 4.0f / 3.0f, 0.1f, 500.0f);
};

TEST_F(ParticleSystemGLTest, ConstructionFillsTheBuffersAndStartsTheClockAtZero) {
    Settings settings;
    settings.maxParticles = 7;
    auto system = make(settings);

    EXPECT_EQ(system->particleCount, 0);
    EXPECT_EQ(system->atlasClock, 0.0);
    EXPECT_EQ(system->atlasFrame, 0);
    EXPECT_EQ(system->atlasColumn, 0.0f);
    EXPECT_EQ(system->atlasRow, 0.0f);
    EXPECT_FALSE(system->finished);
    EXPECT_EQ(system->view, glm::mat4(1.0f));
    EXPECT_EQ(system->projection, glm::mat4(1.0f));
    EXPECT_EQ(system->cameraPosition, glm::vec3(0.0f));
    // A missing image leaves texture name 0 and a usable system.
    EXPECT_EQ(system->texture->name, 0u);
    EXPECT_EQ(system->texture->path, folder + "/missing.png");

    EXPECT_TRUE(glIsVertexArray(system->vertexArray));
    GLint boundArray = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &boundArray);
    EXPECT_EQ(boundArray, 0);
    EXPECT_EQ(bufferContents(system->billboardBuffer),
              (std::vector<float>{-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, -0.5f, 0.5f, 0, 0.5f, 0.5f, 0}));
    EXPECT_EQ(bufferContents(system->positionSizeBuffer).size(), 4u * 7u);
    EXPECT_EQ(bufferContents(system->uvBuffer).size(), 8u);
    glBindBuffer(GL_ARRAY_BUFFER, system->positionSizeBuffer);
    GLint usage = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &usage);
    EXPECT_EQ(usage, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

TEST_F(ParticleSystemGLTest, SpawnTakesItsDrawsInOrder) {
    Settings settings;
    settings.emitter = glm::vec3(1.0f, 2.0f, 3.0f);
    settings.maxParticles = 2;
    // Per particle: velocity z, y, x; direction a (z), b (y), c (x); distance d.
    dusk::scriptRandom({7000, 1000, 2500, 153, 50, 54, 35,  //
                        0, 3999, 2000, 44, 58, 50, 2});
    auto system = make(settings);
    EXPECT_EQ(dusk::randomDrawCount(), 14u);

    const dusk::scene::Particle& first = system->particles[0];
    expectNear(first.velocity, glm::vec3(0.05f, -0.1f, 0.1f), 1e-6f);
    // Direction (4, 0, 3) at distance 5.
    expectNear(first.position, glm::vec3(5.0f, 2.0f, 6.0f));
    EXPECT_EQ(first.size, 4.0f);

    const dusk::scene::Particle& second = system->particles[1];
    expectNear(second.velocity, glm::vec3(0.0f, 0.1999f, -0.2f), 1e-6f);
    // Direction (0, 8, -6) at distance -8: mirrored.
    expectNear(second.position, glm::vec3(1.0f, 2.0f - 6.4f, 3.0f + 4.8f));
}

TEST_F(ParticleSystemGLTest, ZeroSpawnDirectionDrawsAgain) {
    Settings settings;
    settings.emitter = glm::vec3(1.0f, 2.0f, 3.0f);
    dusk::scriptRandom({2000, 2000, 2000, 50, 50, 50, 15,  // (0, 0, 0): drawn again
                        53, 50, 54, 35});
    auto sphere = make(settings);
    EXPECT_EQ(dusk::randomDrawCount(), 11u);
    expectNear(sphere->particles[0].position, glm::vec3(5.0f, 2.0f, 6.0f));

    // Without vertical spread, a purely vertical direction is zero as well.
    dusk::resetRandom();
    settings.verticalSpread = 0.0f;
    dusk::scriptRandom({2000, 2000, 2000, 50, 90, 50, 15,  //
                        53, 90, 50, 16});
    auto disc = make(settings);
    EXPECT_EQ(dusk::randomDrawCount(), 11u);
    expectNear(disc->particles[0].position, glm::vec3(1.0f, 2.0f, 3.0f + 6.0f));
}

TEST_F(ParticleSystemGLTest, OffsetsHaveWholeLengthsAndVerticalSpreadFlattensThem) {
    Settings settings;
    settings.emitter = glm::vec3(0.0f, 5.0f, 0.0f);
    settings.spawnRadius = 47;
    settings.maxParticles = 450;
    auto flat = [&](float spread) {
        settings.verticalSpread = spread;
        auto system = make(settings);
        float vertical = 0.0f;
        float total = 0.0f;
        for (int i = 0; i < settings.maxParticles; ++i) {
            glm::vec3 offset = system->particles[i].position - settings.emitter;
            float length = glm::length(offset);
            // |d| for a whole d in [-47, 46].
            EXPECT_LE(length, 47.0f + 1e-4f);
            EXPECT_NEAR(length, std::round(length), 1e-4f) << "particle " << i;
            vertical += std::fabs(offset.y);
            total += length;
        }
        return vertical / total;
    };
    float sphere = flat(1.0f);
    float disc = flat(0.1f);
    EXPECT_GT(sphere, 0.3f);
    EXPECT_LT(disc, 0.1f);

    // Scripted: direction (30, 40 × 0.1, 0) at distance 10.
    dusk::scriptRandom({2000, 2000, 2000, 50, 90, 80, 57});
    settings.maxParticles = 1;
    auto one = make(settings);
    glm::vec3 offset = one->particles[0].position - settings.emitter;
    EXPECT_NEAR(glm::length(offset), 10.0f, 1e-4f);
    expectNear(offset, 10.0f * glm::normalize(glm::vec3(30.0f, 4.0f, 0.0f)));
}

TEST_F(ParticleSystemGLTest, RadiusZeroStartsOnTheEmitterAndTakesTheWeakPullFirst) {
    Settings settings;
    settings.emitter = glm::vec3(1.0f, 2.0f, 3.0f);
    settings.spawnRadius = 0;
    dusk::scriptRandom({2500, 2000, 1500, 7, 8, 9});  // no distance draw
    auto system = make(settings);
    EXPECT_EQ(dusk::randomDrawCount(), 6u);
    dusk::scene::Particle& particle = system->particles[0];
    EXPECT_EQ(particle.position, settings.emitter);

    frame(*system, settings.emitter, 0.5f);
    EXPECT_EQ(dusk::randomDrawCount(), 6u);  // inside the radius: no kick
    EXPECT_EQ(particle.distanceToEmitter, 0.0f);
    const glm::vec3 pulled(-0.05f, -0.5f * 0.00005f, 0.05f);
    expectNear(particle.velocity, pulled, 1e-7f);
    expectNear(particle.position, settings.emitter + 0.5f * pulled, 1e-6f);

    // Now off the emitter: a kick k = 0.2 to every component, then factors -0.5 (z),
    // -0.25 (y) and 0 (x).
    dusk::scriptRandom({700, 150, 25, 0});
    const glm::vec3 before = particle.position;
    frame(*system, settings.emitter, 0.5f);
    EXPECT_EQ(dusk::randomDrawCount(), 10u);
    EXPECT_GT(particle.distanceToEmitter, 0.0f);
    const glm::vec3 kicked(0.0f, (pulled.y + 0.2f) * -0.25f, (0.05f + 0.2f) * -0.5f);
    expectNear(particle.velocity, kicked, 1e-6f);
    expectNear(particle.position, before + 0.5f * kicked, 1e-6f);
}

TEST_F(ParticleSystemGLTest, VelocityComponentsAreClampedToMaxSpeed) {
    Settings settings;
    settings.spawnRadius = 0;
    settings.maxSpeed = 0.05f;
    auto system = make(settings);
    dusk::scene::Particle& particle = system->particles[0];
    particle.velocity = glm::vec3(-0.3f, 0.3f, 0.04f);
    frame(*system, settings.emitter, 0.0f);
    EXPECT_EQ(particle.velocity, glm::vec3(-0.05f, 0.05f, 0.04f));

    particle.velocity = glm::vec3(0.05f, -0.05f, 0.0f);
    frame(*system, settings.emitter, 0.0f);
    EXPECT_EQ(particle.velocity, glm::vec3(0.05f, -0.05f, 0.0f));

    // A whole cloud spawned at up to 0.2 per component is within 0.05 after one draw.
    Settings nebula;
    nebula.spawnRadius = 15;
    nebula.maxSpeed = 0.05f;
    nebula.maxParticles = 100;
    auto cloud = make(nebula);
    frame(*cloud, nebula.emitter, 1.0f / 60.0f);
    for (int i = 0; i < nebula.maxParticles; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_LE(std::fabs(cloud->particles[i].velocity[axis]), 0.05f);
        }
    }
}

TEST_F(ParticleSystemGLTest, MovingTheEmitterShiftsTheCloudAtTheNextDraw) {
    Settings settings;
    settings.emitter = glm::vec3(5.0f);
    settings.maxParticles = 30;
    auto system = make(settings);
    // Frame time 0: the particles' own motion stays out of the way.
    frame(*system, settings.emitter, 0.0f);
    const std::vector<glm::vec3> start = ordered(*system);

    const glm::vec3 moved = settings.emitter + glm::vec3(1.0f, -2.0f, 3.0f);
    frame(*system, moved, 0.0f);
    std::vector<glm::vec3> shifted = ordered(*system);
    for (size_t i = 0; i < start.size(); ++i) {
        expectNear(shifted[i], start[i] + glm::vec3(1.0f, -2.0f, 3.0f), 1e-4f);
    }

    // Not drawn, the cloud stays frozen; of several updates only the last one's displacement
    // and frame time count at the next draw.
    update(*system, moved + glm::vec3(10.0f, 0.0f, 0.0f), 1.0f / 60.0f);
    EXPECT_EQ(ordered(*system), shifted);
    update(*system, moved + glm::vec3(10.0f, 0.0f, -4.0f), 0.0f);
    draw(*system);
    std::vector<glm::vec3> last = ordered(*system);
    for (size_t i = 0; i < start.size(); ++i) {
        expectNear(last[i], shifted[i] + glm::vec3(0.0f, 0.0f, -4.0f), 1e-4f);
    }
}

TEST_F(ParticleSystemGLTest, UploadsEveryParticleFarthestFirst) {
    Settings settings;
    settings.emitter = glm::vec3(0.0f, 3.0f, 0.0f);
    settings.spawnRadius = 12;
    settings.maxParticles = 60;
    settings.particleSize = 2.5f;
    auto system = make(settings);
    for (int f = 0; f < 3; ++f) {
        SCOPED_TRACE(f);
        frame(*system, settings.emitter, 1.0f / 60.0f);
        EXPECT_EQ(system->particleCount, settings.maxParticles);

        std::vector<float> uploaded = bufferContents(system->positionSizeBuffer);
        ASSERT_EQ(uploaded.size(), 4u * 60u);
        float previous = INFINITY;
        for (int i = 0; i < settings.maxParticles; ++i) {
            glm::vec3 centre(uploaded[4 * i], uploaded[4 * i + 1], uploaded[4 * i + 2]);
            EXPECT_EQ(uploaded[4 * i + 3], 2.5f);
            // The upload is the sorted particle array, and the sort key is up to date.
            EXPECT_EQ(centre, system->particles[i].position);
            glm::vec3 toCamera = centre - cameraPosition;
            float distance = glm::dot(toCamera, toCamera);
            EXPECT_NEAR(system->particles[i].cameraDistance, distance, 1e-3f);
            EXPECT_LE(distance, previous * (1.0f + 1e-6f)) << "instance " << i;
            previous = distance;
        }
        EXPECT_TRUE(std::equal(uploaded.begin(), uploaded.end(), system->positionSizeData));
    }
}

TEST_F(ParticleSystemGLTest, OneInstancedDrawWithTheCameraAxesAndFlags) {
    dusk::initializeImageLibrary();
    Magick::Image image(Magick::Geometry(2, 2), Magick::Color("orange"));
    image.write(folder + "/glow.png");
    Settings settings;
    settings.maxParticles = 12;
    auto system = make(settings, "glow.png");
    ASSERT_NE(system->texture->name, 0u);

    glUseProgram(program->program);
    glUniform1i(glGetUniformLocation(program->program, "myTextureSampler"), 4);
    glActiveTexture(GL_TEXTURE3);
    update(*system, settings.emitter, 1.0f / 60.0f);
    EXPECT_EQ(countedDraw(*system, true, false), 24u);  // two triangles per particle
    EXPECT_EQ(intUniform("disableSoftParticles"), 1);
    EXPECT_EQ(intUniform("allowLensFlare"), 0);
    EXPECT_EQ(intUniform("myTextureSampler"), 0);
    EXPECT_EQ(vecUniform("CameraRight_worldspace"), glm::vec3(view[0][0], view[1][0], view[2][0]));
    EXPECT_EQ(vecUniform("CameraUp_worldspace"), glm::vec3(view[0][1], view[1][1], view[2][1]));
    glm::mat4 uploaded(0.0f);
    glGetUniformfv(program->program, glGetUniformLocation(program->program, "VP"),
                   glm::value_ptr(uploaded));
    EXPECT_EQ(uploaded, projection * view);
    EXPECT_EQ(system->viewProjection, projection * view);

    update(*system, settings.emitter, 1.0f / 60.0f);
    EXPECT_EQ(countedDraw(*system, false, true), 24u);
    EXPECT_EQ(intUniform("disableSoftParticles"), 0);
    EXPECT_EQ(intUniform("allowLensFlare"), 1);

    // The state the pass finds afterwards.
    GLint value = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, static_cast<GLint>(program->program));
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, static_cast<GLint>(system->texture->name));
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &value);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_EQ(depthMask, GL_TRUE);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_BLEND_SRC_RGB, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST_RGB, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);

    // The vertex array: corners per vertex, centre and size per instance, uv per vertex.
    glBindVertexArray(system->vertexArray);
    struct Attribute {
        GLuint location;
        GLuint buffer;
        GLint components;
        GLint divisor;
    };
    for (const Attribute& a :
         {Attribute{0, system->billboardBuffer, 3, 0},
          Attribute{1, system->positionSizeBuffer, 4, 1}, Attribute{2, system->uvBuffer, 2, 0}}) {
        SCOPED_TRACE(a.location);
        GLint enabled = 0;
        GLint buffer = 0;
        GLint components = 0;
        GLint divisor = -1;
        glGetVertexAttribiv(a.location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(a.location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        glGetVertexAttribiv(a.location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &components);
        glGetVertexAttribiv(a.location, GL_VERTEX_ATTRIB_ARRAY_DIVISOR, &divisor);
        EXPECT_EQ(enabled, GL_TRUE);
        EXPECT_EQ(buffer, static_cast<GLint>(a.buffer));
        EXPECT_EQ(components, a.components);
        EXPECT_EQ(divisor, a.divisor);
    }
    glBindVertexArray(0);
}

// One step each time the frame times add up to another 33 ms, at any frame rate: never two in a
// frame, none in a frame without time, and the explosion's 65 steps take 64 x 33 ms after the
// first.
TEST_F(ParticleSystemGLTest, AtlasStepsOncePer33MillisecondsAtAnyFrameRate) {
    Settings settings;
    settings.spawnRadius = 0;
    settings.animatedAtlas = true;
    struct Run {
        float frameTime;
        std::vector<int> firstStepFrames;  // counted from 1
    };
    for (const Run& run :
         {Run{1.0f / 60.0f, {1, 2, 4, 6, 8}}, Run{1.0f / 100.0f, {1, 4, 7, 10, 14}},
          Run{0.0005f, {1, 66, 132}}, Run{0.0009f, {1, 37, 74}}}) {
        SCOPED_TRACE(run.frameTime);
        auto system = make(settings);
        std::vector<int> stepFrames;
        double elapsed = 0.0;  // milliseconds
        for (int frame = 1; !system->finished && frame < 10000; ++frame) {
            const int before = system->atlasFrame;
            update(*system, settings.emitter, run.frameTime);
            elapsed += run.frameTime * 1000.0;
            ASSERT_LE(system->atlasFrame - before, 1) << "frame " << frame;
            if (system->atlasFrame > before) {
                stepFrames.push_back(frame);
            }
        }
        ASSERT_TRUE(system->finished);
        stepFrames.resize(run.firstStepFrames.size());
        EXPECT_EQ(stepFrames, run.firstStepFrames);
        EXPECT_GE(elapsed, 64 * 33.0);
        EXPECT_LT(elapsed, 64 * 33.0 + run.frameTime * 1000.0);
    }

    // Frames without time take no step: neither at the start nor with the clock on a multiple
    // of 33 ms (0.5 ms x 66).
    auto system = make(settings);
    for (int frame = 0; frame < 166; ++frame) {
        update(*system, settings.emitter, frame < 100 ? 0.0f : 0.0005f);
    }
    const int steps = system->atlasFrame;
    for (int frame = 0; frame < 100; ++frame) {
        update(*system, settings.emitter, 0.0f);
    }
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(system->atlasFrame, steps);

    // Without an atlas the clock never runs.
    settings.animatedAtlas = false;
    auto still = make(settings);
    for (int i = 0; i < 5; ++i) {
        update(*still, settings.emitter, 0.05f);
    }
    EXPECT_EQ(still->atlasFrame, 0);
    EXPECT_FALSE(still->finished);
}

TEST_F(ParticleSystemGLTest, AtlasPlaysSixtyFourCellsThenFinishesAndCanRestart) {
    Settings settings;
    settings.spawnRadius = 0;
    settings.animatedAtlas = true;
    auto system = make(settings);
    std::vector<std::pair<float, float>> cells;
    for (int step = 1; step <= 64; ++step) {
        update(*system, settings.emitter, 0.034f);  // one step every frame
        cells.emplace_back(system->atlasColumn, system->atlasRow);
        EXPECT_FALSE(system->finished) << "step " << step;
    }
    EXPECT_EQ(cells[0], std::make_pair(1.0f, 0.0f));
    EXPECT_EQ(cells[10], std::make_pair(3.0f, 1.0f));  // step 11
    EXPECT_EQ(cells[62], std::make_pair(7.0f, 7.0f));  // step 63
    EXPECT_EQ(cells[63], std::make_pair(0.0f, 0.0f));  // step 64: the first cell again
    update(*system, settings.emitter, 0.034f);
    EXPECT_EQ(system->atlasFrame, 65);
    EXPECT_TRUE(system->finished);

    // The pass restarts it; the clock and the cell shown go on from where they were.
    system->atlasFrame = 0;
    system->finished = false;
    update(*system, settings.emitter, 0.034f);
    EXPECT_EQ(system->atlasFrame, 1);
    EXPECT_FALSE(system->finished);
}

TEST_F(ParticleSystemGLTest, UploadsTheCornersOfTheCurrentCell) {
    Settings settings;
    settings.spawnRadius = 0;
    auto whole = make(settings);
    frame(*whole, settings.emitter, 1.0f / 60.0f);
    EXPECT_EQ(bufferContents(whole->uvBuffer), (std::vector<float>{0, 0, 1, 0, 0, 1, 1, 1}));

    settings.animatedAtlas = true;
    auto atlas = make(settings);
    // The first update always takes a step: cell 1 of the top row.
    frame(*atlas, settings.emitter, 0.02f);
    EXPECT_EQ(bufferContents(atlas->uvBuffer),
              (std::vector<float>{0.125f, 0, 0.25f, 0, 0.125f, 0.125f, 0.25f, 0.125f}));

    for (int step = 2; step < 11; ++step) {
        update(*atlas, settings.emitter, 0.034f);
    }
    frame(*atlas, settings.emitter, 0.034f);  // step 11: column 3, row 1
    ASSERT_EQ(atlas->atlasColumn, 3.0f);
    ASSERT_EQ(atlas->atlasRow, 1.0f);
    const std::vector<float> cell = {0.375f, 0.125f, 0.5f, 0.125f, 0.375f, 0.25f, 0.5f, 0.25f};
    EXPECT_EQ(bufferContents(atlas->uvBuffer), cell);
    EXPECT_TRUE(std::equal(cell.begin(), cell.end(), atlas->uvData));
}

TEST_F(ParticleSystemGLTest, DrawingAFrameAllocatesNothing) {
    Settings settings;
    settings.spawnRadius = 47;
    settings.maxParticles = 450;
    settings.verticalSpread = 0.1f;
    auto cloud = make(settings);
    settings.spawnRadius = 0;
    settings.maxParticles = 1;
    settings.animatedAtlas = true;
    auto explosion = make(settings);
    // The first draws let the driver build what it keeps for this state.
    for (int i = 0; i < 3; ++i) {
        frame(*cloud, glm::vec3(0.0f), 1.0f / 60.0f);
        frame(*explosion, glm::vec3(0.0f), 1.0f / 60.0f);
    }

    allocationCount = 0;
    countingAllocations = true;
    for (int i = 0; i < 20; ++i) {
        const glm::vec3 emitter(0.1f * static_cast<float>(i), 0.0f, 0.0f);
        frame(*cloud, emitter, 1.0f / 60.0f);
        frame(*explosion, emitter, 1.0f / 60.0f);
    }
    countingAllocations = false;
    EXPECT_EQ(allocationCount, 0);
    EXPECT_EQ(cloud->particleCount, 450);

    // The counter does see allocations: it is no check that cannot fail.
    // A direct call, which the optimiser may not drop the way it may drop a new-expression.
    countingAllocations = true;
    void* volatile probe = ::operator new(64);
    countingAllocations = false;
    ::operator delete(probe);
    EXPECT_EQ(allocationCount, 1);
}

}  // namespace
