#include "render/Bezier.h"

#include "game/Game.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The curve in Bernstein form, in double: a way to the point independent of de Casteljau's.
glm::dvec3 bernsteinPoint(const std::vector<glm::vec3>& points, double t) {
    const size_t n = points.size() - 1;
    glm::dvec3 sum(0.0);
    double binomial = 1.0;
    for (size_t i = 0; i <= n; ++i) {
        sum += glm::dvec3(points[i]) *
               (binomial * std::pow(t, double(i)) * std::pow(1.0 - t, double(n - i)));
        binomial = binomial * double(n - i) / double(i + 1);
    }
    return sum;
}

TEST(BezierTest, PathsOfAnyLengthFollowTheBernsteinForm) {
    // The intro's 31 points, and evenly spaced points on a line, more than fit the fixed buffer.
    std::vector<std::vector<glm::vec3>> paths = {Game(nullptr, false).ballPath};
    for (size_t count : {1u, 2u, 64u, 65u, 100u}) {
        paths.emplace_back();
        for (size_t i = 0; i < count; ++i) {
            paths.back().push_back(glm::vec3(1.0f, -0.5f, 2.0f) * float(i));
        }
    }
    for (const std::vector<glm::vec3>& path : paths) {
        for (float t : {0.0f, 0.2f, 0.5f, 0.77f, 1.0f}) {
            const glm::dvec3 expected = bernsteinPoint(path, t);
            EXPECT_NEAR(glm::distance(glm::dvec3(bezierPoint(path, t)), expected), 0.0, 2e-3)
                << path.size() << " points at " << t;
        }
    }
    EXPECT_EQ(bezierPoint({}, 0.5f), glm::vec3(0.0f));
}

}  // namespace
