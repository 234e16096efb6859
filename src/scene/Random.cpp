#include "scene/Random.h"

#include <cstddef>
#include <utility>

namespace dusk {

namespace {

std::uint32_t generatorState = 1;
std::vector<int> scriptedResults;
std::size_t nextScripted = 0;
std::uint64_t drawCount = 0;

}  // namespace

int nextRandom() {
    ++drawCount;
    if (nextScripted < scriptedResults.size()) {
        return scriptedResults[nextScripted++];
    }
    generatorState = generatorState * 214013u + 2531011u;
    return static_cast<int>((generatorState >> 16) & 0x7FFFu);
}

void resetRandom(std::uint32_t state) {
    generatorState = state;
    scriptedResults.clear();
    nextScripted = 0;
    drawCount = 0;
}

void scriptRandom(std::vector<int> results) {
    scriptedResults = std::move(results);
    nextScripted = 0;
}

std::uint64_t randomDrawCount() {
    return drawCount;
}

}  // namespace dusk
