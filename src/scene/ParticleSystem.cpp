#include "scene/ParticleSystem.h"

#include "assets/Texture.h"
#include "render/GlDebug.h"
#include "render/ShaderProgram.h"
#include "scene/Random.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

namespace dusk::scene {

namespace {

const GLfloat billboardCorners[12] = {-0.5f, -0.5f, 0.0f, 0.5f, -0.5f, 0.0f,
                                      -0.5f, 0.5f,  0.0f, 0.5f, 0.5f,  0.0f};

void describeAttribute(GLuint location, GLuint buffer, GLint components) {
    glEnableVertexAttribArray(location);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

}  // namespace

ParticleSystem::ParticleSystem(glm::vec3 emitterPosition, int spawnRadius, float particleSize,
                               float maxSpeed, float verticalSpread, int maxParticles,
                               bool animatedAtlas, std::string texturePath)
    : particles(nullptr), particleCount(0), maxParticles(std::max(maxParticles, 0)),
      animatedAtlas(animatedAtlas), atlasClock(0.0), atlasColumn(0.0f), atlasRow(0.0f),
      atlasFrame(0), finished(false), positionSizeData(nullptr), uvData(nullptr),
      billboardBuffer(0), positionSizeBuffer(0), uvBuffer(0), shader(nullptr), vertexArray(0),
      viewProjection(1.0f), texture(nullptr), frameTime(0.0f), spawnRadius(spawnRadius),
      particleSize(particleSize), maxSpeed(maxSpeed), verticalSpread(verticalSpread),
      emitterPosition(emitterPosition), emitterDisplacement(0.0f), view(1.0f), projection(1.0f),
      cameraPosition(0.0f) {
    // Every array is allocated here, once: drawing a frame allocates nothing.
    particles = new Particle[this->maxParticles]();
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    positionSizeData = new float[4 * static_cast<size_t>(this->maxParticles)]();
    uvData = new float[8]();

    glGenBuffers(1, &billboardBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, billboardBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(billboardCorners), billboardCorners, GL_STATIC_DRAW);
    glGenBuffers(1, &positionSizeBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, positionSizeBuffer);
    glBufferData(GL_ARRAY_BUFFER, 16 * static_cast<GLsizeiptr>(this->maxParticles), nullptr,
                 GL_STREAM_DRAW);
    glGenBuffers(1, &uvBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, 32, nullptr, GL_STREAM_DRAW);

    for (int i = 0; i < this->maxParticles; ++i) {
        spawnParticle(i);
    }

    // A missing image has been reported by the loader; the system draws with texture 0.
    const std::string label = "particles of " + texturePath;
    dusk::labelGlObject(GL_BUFFER, billboardBuffer, label + ": corners");
    dusk::labelGlObject(GL_BUFFER, positionSizeBuffer, label + ": centres and sizes");
    dusk::labelGlObject(GL_BUFFER, uvBuffer, label + ": uvs");
    dusk::labelGlObject(GL_VERTEX_ARRAY, vertexArray, label);
    texture = new Texture(std::move(texturePath));
    texture->load();
    glBindVertexArray(0);
}

ParticleSystem::~ParticleSystem() {
    delete[] particles;
    delete[] positionSizeData;
    delete[] uvData;
    delete texture;
}

void ParticleSystem::spawnParticle(int index) {
    Particle& particle = particles[index];
    particle.velocity.z = static_cast<float>(nextRandom() % 4000 - 2000) / 10000.0f;
    particle.velocity.y = static_cast<float>(nextRandom() % 4000 - 2000) / 10000.0f;
    particle.velocity.x = static_cast<float>(nextRandom() % 4000 - 2000) / 10000.0f;

    glm::vec3 offset(0.0f);
    for (;;) {
        int a = nextRandom() % 100 - 50;
        int b = nextRandom() % 100 - 50;
        int c = nextRandom() % 100 - 50;
        if (spawnRadius == 0) {
            break;
        }
        int d = nextRandom() % (2 * spawnRadius) - spawnRadius;
        glm::vec3 direction(static_cast<float>(c), static_cast<float>(b) * verticalSpread,
                            static_cast<float>(a));
        float length = glm::length(direction);
        // A zero direction has no unit vector: draw the spawn again.
        if (length > 0.0f) {
            offset = direction / length * static_cast<float>(d);
            break;
        }
    }
    particle.position = emitterPosition + offset;
    particle.size = particleSize;
}

void ParticleSystem::update(glm::vec3 newEmitterPosition, const glm::mat4& cameraView,
                            const glm::vec3& cameraPosition, const glm::mat4& cameraProjection,
                            float frameTime) {
    emitterDisplacement = emitterPosition - newEmitterPosition;
    emitterPosition = newEmitterPosition;
    this->frameTime = frameTime;
    view = cameraView;
    this->cameraPosition = cameraPosition;
    projection = cameraProjection;

    if (!animatedAtlas) {
        return;
    }
    // One step whenever the clock reached a multiple of 33 ms in this frame: 30 steps a second
    // at any frame rate, never more than one a frame. The clock keeps its fraction, or frames
    // shorter than a millisecond would stop it (or step it every frame).
    const double frameMilliseconds = static_cast<double>(frameTime) * 1000.0;
    if (frameMilliseconds > 0.0) {
        atlasClock += frameMilliseconds;
        if (frameMilliseconds >= std::fmod(atlasClock, 33.0)) {
            atlasFrame += 1;
            atlasColumn = static_cast<float>(atlasFrame % 8);
            atlasRow = static_cast<float>((atlasFrame % 64) / 8);
        }
    }
    if (atlasFrame > 64) {
        finished = true;
    }
}

void ParticleSystem::draw(bool disableSoftParticles, bool allowLensFlare) {
    glBindVertexArray(vertexArray);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    GLuint program = shader->program;
    GLint rightLocation = glGetUniformLocation(program, "CameraRight_worldspace");
    GLint upLocation = glGetUniformLocation(program, "CameraUp_worldspace");
    GLint viewProjectionLocation = glGetUniformLocation(program, "VP");
    glUniform1i(glGetUniformLocation(program, "allowLensFlare"), allowLensFlare ? 1 : 0);
    glUniform1i(glGetUniformLocation(program, "disableSoftParticles"),
                disableSoftParticles ? 1 : 0);

    particleCount = 0;
    for (int i = 0; i < maxParticles; ++i) {
        Particle& particle = particles[i];
        ++particleCount;
        particle.distanceToEmitter = glm::length(particle.position - emitterPosition);
        if (particle.distanceToEmitter > static_cast<float>(spawnRadius)) {
            // Strayed too far: a random push, then a damped reversal of every component.
            float k = static_cast<float>(nextRandom() % 1000 - 500) / 1000.0f;
            particle.velocity += glm::vec3(k);
            particle.velocity.z *= -static_cast<float>(nextRandom() % 100) / 100.0f;
            particle.velocity.y *= -static_cast<float>(nextRandom() % 100) / 100.0f;
            particle.velocity.x *= -static_cast<float>(nextRandom() % 100) / 100.0f;
        } else {
            particle.velocity.y -= frameTime * 0.00005f;
        }
        for (int axis = 0; axis < 3; ++axis) {
            float& component = particle.velocity[axis];
            if (std::fabs(component) > maxSpeed) {
                component = component > 0.0f ? maxSpeed : -maxSpeed;
            }
        }
        particle.position += particle.velocity * frameTime;
        particle.position -= emitterDisplacement;
        glm::vec3 toCamera = particle.position - cameraPosition;
        particle.cameraDistance = glm::dot(toCamera, toCamera);
    }

    // Farthest first, so that blending composes back to front.
    std::sort(particles, particles + maxParticles, [](const Particle& a, const Particle& b) {
        return a.cameraDistance > b.cameraDistance;
    });
    for (int i = 0; i < particleCount; ++i) {
        positionSizeData[4 * i + 0] = particles[i].position.x;
        positionSizeData[4 * i + 1] = particles[i].position.y;
        positionSizeData[4 * i + 2] = particles[i].position.z;
        positionSizeData[4 * i + 3] = particles[i].size;
    }
    glBindBuffer(GL_ARRAY_BUFFER, positionSizeBuffer);
    glBufferData(GL_ARRAY_BUFFER, 16 * static_cast<GLsizeiptr>(maxParticles), nullptr,
                 GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, 16 * static_cast<GLsizeiptr>(particleCount),
                    positionSizeData);

    if (animatedAtlas) {
        const float c = atlasColumn;
        const float r = atlasRow;
        const float corners[8] = {c / 8, r / 8,       (c + 1) / 8, r / 8,
                                  c / 8, (r + 1) / 8, (c + 1) / 8, (r + 1) / 8};
        std::copy(corners, corners + 8, uvData);
    } else {
        const float corners[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        std::copy(corners, corners + 8, uvData);
    }
    glBindBuffer(GL_ARRAY_BUFFER, uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, 32, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, 32, uvData);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(texture->target, texture->name);
    glUniform1i(glGetUniformLocation(program, "myTextureSampler"), 0);

    viewProjection = projection * view;
    glUniform3f(rightLocation, view[0][0], view[1][0], view[2][0]);
    glUniform3f(upLocation, view[0][1], view[1][1], view[2][1]);
    glUniformMatrix4fv(viewProjectionLocation, 1, GL_FALSE, glm::value_ptr(viewProjection));

    describeAttribute(0, billboardBuffer, 3);
    describeAttribute(1, positionSizeBuffer, 4);
    describeAttribute(2, uvBuffer, 2);
    glVertexAttribDivisor(0, 0);
    glVertexAttribDivisor(1, 1);

    glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, particleCount);

    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
}

}  // namespace dusk::scene
