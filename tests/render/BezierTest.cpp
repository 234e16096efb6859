#include "render/Bezier.h"

#include "game/Game.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// The same curve through the Bernstein form, in double: an independent way to the point.
glm::dvec3 bernsteinPoint(const std::vector<glm::vec3>& points, double t) {
    const size_t n = points.size() - 1;
    glm::dvec3 sum(0.0);
    double binomial = 1.0;
    for (size_t i = 0; i <= n; ++i) {
        double weight = binomial * std::pow(t, static_cast<double>(i)) *
                        std::pow(1.0 - t, static_cast<double>(n - i));
        sum += glm::dvec3(points[i]) * weight;
        binomial = binomial * static_cast<double>(n - i) / static_cast<double>(i + 1);
    }
    return sum;
}

void expectNear(const glm::vec3& actual, const glm::dvec3& expected, double tolerance,
                const char* what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

TEST(BezierTest, ClampKeepsTheParameterInTheUnitInterval) {
    EXPECT_EQ(clampPathParameter(1.5f), 1.0f);
    EXPECT_EQ(clampPathParameter(1.0f), 1.0f);
    EXPECT_EQ(clampPathParameter(0.25f), 0.25f);
    EXPECT_EQ(clampPathParameter(std::nextafter(1.0f, 2.0f)), 1.0f);
    EXPECT_EQ(clampPathParameter(std::numeric_limits<float>::denorm_min()),
              std::numeric_limits<float>::denorm_min());
    EXPECT_EQ(clampPathParameter(-0.1f), 0.0f);
    EXPECT_EQ(clampPathParameter(-1e30f), 0.0f);
    // Not above 0 becomes 0: a negative zero comes back as a plain zero.
    EXPECT_FALSE(std::signbit(clampPathParameter(-0.0f)));
}

TEST(BezierTest, SmallCurvesHaveTheirTextbookShapes) {
    const glm::vec3 a(1.0f, -2.0f, 3.0f);
    const glm::vec3 b(5.0f, 6.0f, -7.0f);
    const glm::vec3 c(-4.0f, 10.0f, 2.0f);

    // One point: that point for any parameter.
    for (float t : {0.0f, 0.3f, 1.0f}) {
        EXPECT_EQ(bezierPoint({a}, t), a) << t;
    }
    // Two points: the straight segment.
    EXPECT_EQ(bezierPoint({a, b}, 0.0f), a);
    expectNear(bezierPoint({a, b}, 0.25f), glm::dvec3(a) + (glm::dvec3(b) - glm::dvec3(a)) * 0.25,
               1e-5, "segment");
    // Three points: (1-t)^2 a + 2t(1-t) b + t^2 c.
    const double t = 0.375;
    glm::dvec3 quadratic = glm::dvec3(a) * ((1 - t) * (1 - t)) + glm::dvec3(b) * (2 * t * (1 - t)) +
                           glm::dvec3(c) * (t * t);
    expectNear(bezierPoint({a, b, c}, static_cast<float>(t)), quadratic, 1e-5, "quadratic");
    // The curve starts exactly at the first point and ends at the last.
    EXPECT_EQ(bezierPoint({a, b, c}, 0.0f), a);
    expectNear(bezierPoint({a, b, c}, 1.0f), glm::dvec3(c), 1e-5, "end");
}

TEST(BezierTest, RepeatedPointsPullTheCurve) {
    const glm::vec3 a(0.0f);
    const glm::vec3 b(0.0f, 10.0f, 0.0f);
    const glm::vec3 c(10.0f, 0.0f, 0.0f);
    glm::vec3 once = bezierPoint({a, b, c}, 0.5f);
    glm::vec3 twice = bezierPoint({a, b, b, c}, 0.5f);
    EXPECT_GT(twice.y, once.y);
    expectNear(twice, bernsteinPoint({a, b, b, c}, 0.5), 1e-5, "repeated");
}

TEST(BezierTest, TheIntroPathFollowsTheBernsteinForm) {
    Game game(nullptr, false);
    ASSERT_EQ(game.ballPath.size(), 31u);
    for (float t : {0.0f, 0.05f, 0.3f, 0.5f, 0.77f, 0.999f, 1.0f}) {
        glm::vec3 point = bezierPoint(game.ballPath, t);
        expectNear(point, bernsteinPoint(game.ballPath, static_cast<double>(t)), 2e-3,
                   "intro path");
    }
    EXPECT_EQ(bezierPoint(game.ballPath, 0.0f), game.ballPath.front());
}

TEST(BezierTest, EvaluationLeavesTheListAloneAndRepeats) {
    Game game(nullptr, false);
    const std::vector<glm::vec3> before = game.ballPath;
    glm::vec3 first = bezierPoint(game.ballPath, 0.4f);
    EXPECT_EQ(game.ballPath, before);
    // A shorter list evaluated in between leaves nothing behind for the next call.
    bezierPoint({glm::vec3(100.0f), glm::vec3(-100.0f)}, 0.9f);
    EXPECT_EQ(bezierPoint(game.ballPath, 0.4f), first);
}

// Evenly spaced control points on a line give the point t of the way along it, whatever their
// number: longer lists than the fixed buffer must give the same curve.
TEST(BezierTest, ListsOfAnyLengthGiveTheSameCurve) {
    const glm::vec3 step(1.0f, -0.5f, 2.0f);
    for (size_t count : {2u, 31u, 64u, 65u, 100u, 70u}) {
        std::vector<glm::vec3> points;
        for (size_t i = 0; i < count; ++i) {
            points.push_back(step * static_cast<float>(i));
        }
        for (float t : {0.0f, 0.2f, 0.5f, 1.0f}) {
            glm::dvec3 expected = glm::dvec3(step) * (static_cast<double>(count - 1) * t);
            glm::vec3 point = bezierPoint(points, t);
            EXPECT_NEAR(point.x, expected.x, 1e-3) << count << " points at " << t;
            EXPECT_NEAR(point.y, expected.y, 1e-3) << count << " points at " << t;
            EXPECT_NEAR(point.z, expected.z, 1e-3) << count << " points at " << t;
        }
    }
}

TEST(BezierTest, AnEmptyListGivesTheOrigin) {
    EXPECT_EQ(bezierPoint({}, 0.5f), glm::vec3(0.0f));
}

}  // namespace
