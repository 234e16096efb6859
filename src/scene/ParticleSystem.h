#pragma once

#include "render/GL.h"

#include <glm/glm.hpp>

#include <string>

class ShaderProgram;
class Texture;

namespace dusk::scene {

struct Particle {
    glm::vec3 position;
    glm::vec3 velocity;  // world units per second
    float size;
    float distanceToEmitter;
    float cameraDistance;  // squared; the sort key
};

// A cloud of camera-facing billboards around an emitter, drawn in one instanced call. Particles
// never die: a particle that strays beyond the spawn radius gets a damping kick back.
class ParticleSystem {
public:
    ParticleSystem(glm::vec3 emitterPosition, int spawnRadius, float particleSize, float maxSpeed,
                   float verticalSpread, int maxParticles, bool animatedAtlas,
                   std::string texturePath);
    virtual ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    void spawnParticle(int index);
    void update(glm::vec3 newEmitterPosition, const glm::mat4& cameraView,
                const glm::vec3& cameraPosition, const glm::mat4& cameraProjection,
                float frameTime);
    // Moves, sorts, uploads and draws; the caller has made the program current.
    void draw(bool disableSoftParticles, bool allowLensFlare);

    Particle* particles;
    int particleCount;
    int maxParticles;
    bool animatedAtlas;
    double atlasClock;  // milliseconds of frame time, fraction kept
    float atlasColumn;
    float atlasRow;
    int atlasFrame;  // steps taken since the last restart
    bool finished;
    float* positionSizeData;    // centre and size per particle, in draw order
    float* uvData;              // (u, v) of the four corners
    GLuint billboardBuffer;     // the four corners of the unit billboard
    GLuint positionSizeBuffer;  // per-instance centre and size
    GLuint uvBuffer;            // per-corner texture coordinates
    ShaderProgram* shader;      // not owned; set by the particle pass
    GLuint vertexArray;         // vertex array object over the three buffers
    glm::mat4 viewProjection;
    Texture* texture;
    float frameTime;
    int spawnRadius;
    float particleSize;
    float maxSpeed;
    float verticalSpread;
    glm::vec3 emitterPosition;
    glm::vec3 emitterDisplacement;
    glm::mat4 view;
    glm::mat4 projection;
    glm::vec3 cameraPosition;
};

}  // namespace dusk::scene
