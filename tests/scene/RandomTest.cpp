#include "scene/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<int> draw(int count) {
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(dusk::nextRandom());
    }
    return values;
}

class RandomTest : public ::testing::Test {
protected:
    void SetUp() override { dusk::resetRandom(); }
    void TearDown() override { dusk::resetRandom(); }
};

TEST_F(RandomTest, StartsWithTheClassicFifteenBitSequence) {
    // The well-known first results of this generator from state 1.
    EXPECT_EQ(draw(10),
              (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}));
}

TEST_F(RandomTest, ResetRestartsAtTheGivenState) {
    std::vector<int> first = draw(5);
    draw(100);
    dusk::resetRandom();
    EXPECT_EQ(draw(5), first);

    // 1 × 214013 + 2531011: the state after the first draw, so the sequence goes on from its
    // second value.
    dusk::resetRandom(2745024u);
    EXPECT_EQ(draw(3), (std::vector<int>{18467, 6334, 26500}));
}

TEST_F(RandomTest, ResultsCoverTheWholeRangeAndNoMore) {
    int smallest = dusk::randomMax;
    int largest = 0;
    bool outside = false;
    for (int i = 0; i < 1000000; ++i) {
        int value = dusk::nextRandom();
        outside = outside || value < 0 || value > dusk::randomMax;
        smallest = std::min(smallest, value);
        largest = std::max(largest, value);
    }
    EXPECT_FALSE(outside);
    EXPECT_EQ(smallest, 0);
    EXPECT_EQ(largest, 32767);
}

TEST_F(RandomTest, ScriptedResultsComeFirstAndLeaveTheGeneratorWhereItWas) {
    dusk::nextRandom();  // 41
    dusk::scriptRandom({7, 40000, -3});
    EXPECT_EQ(draw(5), (std::vector<int>{7, 40000, -3, 18467, 6334}));

    // A new script replaces what is left of the old one.
    dusk::scriptRandom({1, 2, 3});
    dusk::nextRandom();
    dusk::scriptRandom({9});
    EXPECT_EQ(draw(2), (std::vector<int>{9, 26500}));
}

TEST_F(RandomTest, ResetDropsTheScriptAndCountsDrawsAfresh) {
    dusk::scriptRandom({5, 6, 7});
    draw(2);
    EXPECT_EQ(dusk::randomDrawCount(), 2u);
    dusk::resetRandom();
    EXPECT_EQ(dusk::randomDrawCount(), 0u);
    EXPECT_EQ(dusk::nextRandom(), 41);
    EXPECT_EQ(dusk::randomDrawCount(), 1u);
}

}  // namespace
