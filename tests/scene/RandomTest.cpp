#include "scene/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Tree places and particle spawns draw from it: the same results on every run give the same
// scene, as the reference pictures show it.
TEST(RandomTest, StartsWithTheClassicFifteenBitSequence) {
    dusk::resetRandom();
    std::vector<int> drawn;
    for (int i = 0; i < 6; ++i) {
        drawn.push_back(dusk::nextRandom());
    }
    EXPECT_EQ(drawn, (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724}));
}

}  // namespace
