#include "AssetFiles.h"

#include "game/Game.h"
#include "render/Bezier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using dusk::test::Triangle;

// Whether the segment p..q passes through the triangle (Moller-Trumbore, both sides).
bool segmentHits(const glm::vec3& p, const glm::vec3& q, const Triangle& t) {
    glm::vec3 dir = q - p;
    glm::vec3 e1 = t.b - t.a, e2 = t.c - t.a;
    glm::vec3 h = glm::cross(dir, e2);
    float det = glm::dot(e1, h);
    if (std::fabs(det) < 1e-12f) {
        return false;
    }
    float inv = 1.0f / det;
    glm::vec3 s = p - t.a;
    float u = glm::dot(s, h) * inv;
    if (u < 0.0f || u > 1.0f) {
        return false;
    }
    glm::vec3 qv = glm::cross(s, e1);
    float v = glm::dot(dir, qv) * inv;
    if (v < 0.0f || u + v > 1.0f) {
        return false;
    }
    float along = glm::dot(e2, qv) * inv;
    return along >= 0.0f && along <= 1.0f;
}

// Distance from a point to a triangle.
float distanceTo(const glm::vec3& p, const Triangle& t) {
    glm::vec3 ab = t.b - t.a, ac = t.c - t.a, ap = p - t.a;
    float d1 = glm::dot(ab, ap), d2 = glm::dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return glm::length(p - t.a);
    glm::vec3 bp = p - t.b;
    float d3 = glm::dot(ab, bp), d4 = glm::dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return glm::length(p - t.b);
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return glm::length(p - (t.a + ab * (d1 / (d1 - d3))));
    glm::vec3 cp = p - t.c;
    float d5 = glm::dot(ab, cp), d6 = glm::dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return glm::length(p - t.c);
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return glm::length(p - (t.a + ac * (d2 / (d2 - d6))));
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
        float w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
        return glm::length(p - (t.b + (t.c - t.b) * w));
    }
    float denom = 1.0f / (va + vb + vc);
    return glm::length(p - (t.a + ab * (vb * denom) + ac * (vc * denom)));
}

struct Clearance {
    int crossings = 0;
    float closest = 1e9f;
    glm::vec3 where{0.0f};
};

// Walks a polyline against the castle: segments that cross a triangle, and the closest point.
Clearance walk(const std::vector<glm::vec3>& points, const std::vector<Triangle>& castle) {
    Clearance c;
    for (size_t i = 0; i < points.size(); ++i) {
        for (const Triangle& t : castle) {
            if (i > 0 && segmentHits(points[i - 1], points[i], t)) {
                ++c.crossings;
            }
            float d = distanceTo(points[i], t);
            if (d < c.closest) {
                c.closest = d;
                c.where = points[i];
            }
        }
    }
    return c;
}

// Sample positions along the intro for the whole of pathTime -0.1 .. 1.1: the ball on its
// curve, the camera 0.1 behind on its own.
void introPaths(std::vector<glm::vec3>* ball, std::vector<glm::vec3>* camera) {
    Game game(nullptr, false);
    const int steps = 6000;
    for (int i = 0; i <= steps; ++i) {
        float pathTime = -0.1f + 1.2f * i / steps;
        ball->push_back(bezierPoint(game.ballPath, clampPathParameter(pathTime)));
        camera->push_back(bezierPoint(game.cameraPath, clampPathParameter(pathTime - 0.1f)));
    }
}

// The glow and the camera's near plane need some room around the flight.
const float kRoom = 1.0f;

class CastleClearanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        castle = dusk::test::readTriangles(dusk::test::runModel("castle.obj"));
        ASSERT_GT(castle.size(), 100u) << "castle.obj did not load";
        introPaths(&ball, &camera);
    }
    std::vector<Triangle> castle;
    std::vector<glm::vec3> ball, camera;
};

TEST_F(CastleClearanceTest, BallFlightPassesNoWall) {
    Clearance c = walk(ball, castle);
    EXPECT_EQ(c.crossings, 0);
    EXPECT_GE(c.closest, kRoom) << "closest at " << c.where.x << ", " << c.where.y << ", "
                                << c.where.z;
}

TEST_F(CastleClearanceTest, CameraFlightPassesNoWall) {
    Clearance c = walk(camera, castle);
    EXPECT_EQ(c.crossings, 0);
    EXPECT_GE(c.closest, kRoom) << "closest at " << c.where.x << ", " << c.where.y << ", "
                                << c.where.z;
}

TEST_F(CastleClearanceTest, FlightReallyEntersTheCourtyard) {
    // Guards the test itself: a castle moved out of the way would pass the checks above.
    auto inside = [](const glm::vec3& p) {
        return std::fabs(p.x) < 20.0f && std::fabs(p.z) < 20.0f && p.y < 8.0f;
    };
    EXPECT_TRUE(std::any_of(ball.begin(), ball.end(), inside));
    EXPECT_TRUE(std::any_of(camera.begin(), camera.end(), inside));
    float minX = 1e9f, maxX = -1e9f;
    for (const Triangle& t : castle) {
        for (const glm::vec3& p : {t.a, t.b, t.c}) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
        }
    }
    EXPECT_LT(minX, -24.0f);
    EXPECT_GT(maxX, 24.0f);
}

TEST_F(CastleClearanceTest, SwingAfterTheIntroClearsTheKeep) {
    // From pathTime 1.1 on the glow swings between (19, 20, -8) and (19, 40, 8).
    std::vector<glm::vec3> swing;
    for (int i = 0; i <= 200; ++i) {
        swing.push_back(glm::mix(glm::vec3(19, 20, -8), glm::vec3(19, 40, 8), i / 200.0f));
    }
    Clearance c = walk(swing, castle);
    EXPECT_EQ(c.crossings, 0);
    EXPECT_GE(c.closest, 2.5f);
}

}  // namespace
