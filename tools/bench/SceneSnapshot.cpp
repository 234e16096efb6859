#include "SceneSnapshot.h"

#include "game/Game.h"
#include "render/FramePasses.h"
#include "scene/Random.h"

#include <algorithm>

namespace dusk::bench {

namespace {

// The scalar state of a particle system, between the system and its saved state.
template <typename From, typename To> void copyScalars(const From& from, To* to) {
    to->particleCount = from.particleCount;
    to->atlasClock = from.atlasClock;
    to->atlasColumn = from.atlasColumn;
    to->atlasRow = from.atlasRow;
    to->atlasFrame = from.atlasFrame;
    to->finished = from.finished;
}

}  // namespace

std::uint32_t generatorStateAfter(std::uint64_t draws) {
    // One step is x -> a x + c (mod 2^32); steps compose as affine maps, so 2^k steps are
    // found by squaring.
    std::uint32_t multiplier = 214013u;
    std::uint32_t increment = 2531011u;
    std::uint32_t state = 1u;
    while (draws > 0) {
        if ((draws & 1u) != 0) {
            state = state * multiplier + increment;
        }
        increment = increment * multiplier + increment;
        multiplier = multiplier * multiplier;
        draws >>= 1;
    }
    return state;
}

SceneSnapshot::SceneSnapshot(Game& game) : explosionStarted(false), randomDraws(0), randomBase(0) {
    for (dusk::scene::ParticleSystem* system : game.particleSystems) {
        if (system == nullptr) {
            continue;
        }
        SystemState state{};
        state.system = system;
        state.particles.resize(static_cast<size_t>(system->maxParticles));
        systems.push_back(std::move(state));
    }
}

void SceneSnapshot::save() {
    for (SystemState& state : systems) {
        dusk::scene::ParticleSystem* system = state.system;
        std::copy(system->particles, system->particles + system->maxParticles,
                  state.particles.begin());
        copyScalars(*system, &state);
    }
    explosionStarted = ::explosionStarted;
    randomDraws = randomBase + dusk::randomDrawCount();
}

void SceneSnapshot::restore() {
    for (SystemState& state : systems) {
        dusk::scene::ParticleSystem* system = state.system;
        std::copy(state.particles.begin(), state.particles.end(), system->particles);
        copyScalars(state, system);
    }
    ::explosionStarted = explosionStarted;
    // The tool never scripts the generator, so its state follows from the number of draws.
    dusk::resetRandom(generatorStateAfter(randomDraws));
    randomBase = randomDraws;
}

}  // namespace dusk::bench
