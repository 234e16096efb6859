#pragma once

#include "scene/ParticleSystem.h"

#include <cstdint>
#include <vector>

class Game;

namespace dusk::bench {

// What drawing a frame changes besides pictures: the particles (drawing moves and sorts them
// and draws random numbers), the explosion's start and the random generator. Saved before the
// floor frame and put back after it, so that the real frames are the same with or without the
// floor run. Room for every particle is taken once, so saving allocates nothing.
class SceneSnapshot {
public:
    explicit SceneSnapshot(Game& game);

    void save();
    void restore();

    struct SystemState {
        dusk::scene::ParticleSystem* system;  // not owned
        std::vector<dusk::scene::Particle> particles;
        int particleCount;
        int atlasClock;
        float atlasColumn;
        float atlasRow;
        int atlasFrame;
        bool finished;
    };
    std::vector<SystemState> systems;
    bool explosionStarted;
    std::uint64_t randomDraws;  // results drawn since the generator was last reset by us
    std::uint64_t randomBase;   // draws before that reset
};

// The generator's state after `draws` results from its start state 1, without drawing them.
std::uint32_t generatorStateAfter(std::uint64_t draws);

}  // namespace dusk::bench
