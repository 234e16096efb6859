#include "game/Game.h"
#include "render/Bezier.h"

#include "support/Mesh.h"

#include <algorithm>

// The intro flight against the generated castle: neither the ball nor the camera passes through
// a wall or comes closer to one than the glow and the camera's near plane allow.
namespace {

struct Triangle {
    glm::vec3 a, b, c, lo, hi;  // corners and bounding box
};

// Whether the segment p..q passes through the triangle (Moller-Trumbore, both faces).
bool crosses(const glm::vec3& p, const glm::vec3& q, const Triangle& t) {
    glm::vec3 dir = q - p, e1 = t.b - t.a, e2 = t.c - t.a, h = glm::cross(dir, e2);
    glm::vec3 s = p - t.a, k = glm::cross(s, e1);
    float det = glm::dot(e1, h), u = glm::dot(s, h) / det, v = glm::dot(dir, k) / det;
    float along = glm::dot(e2, k) / det;
    return std::fabs(det) > 1e-12f && u >= 0 && v >= 0 && u + v <= 1 && along >= 0 && along <= 1;
}

// Squared distance from p to the triangle: the nearest of its inside and its edges.
float distance2(const glm::vec3& p, const Triangle& t) {
    auto toEdge = [&](const glm::vec3& a, const glm::vec3& b) {
        float s = glm::clamp(glm::dot(p - a, b - a) / glm::dot(b - a, b - a), 0.0f, 1.0f);
        glm::vec3 d = p - (a + s * (b - a));
        return glm::dot(d, d);
    };
    glm::vec3 n = glm::normalize(glm::cross(t.b - t.a, t.c - t.a)),
              foot = p - glm::dot(p - t.a, n) * n;
    float inside = crosses(foot + n, foot - n, t) ? glm::dot(p - foot, p - foot) : 1e30f;
    return std::min({inside, toEdge(t.a, t.b), toEdge(t.b, t.c), toEdge(t.c, t.a)});
}

TEST(CastleClearanceTest, TheFlightPassesNoWallAndKeepsItsDistance) {
    std::vector<Triangle> castle;
    for (const auto& [a, b, c] : dusk::test::trianglesOf("Model/Object/castle.obj")) {
        castle.push_back({a.position, b.position, c.position,
                          glm::min(a.position, glm::min(b.position, c.position)),
                          glm::max(a.position, glm::max(b.position, c.position))});
    }
    ASSERT_GT(castle.size(), 0u);
    Game game(nullptr, false);
    // The ball, and the camera 0.1 behind it on the same curve, over the whole intro.
    const float room = 1.0f;
    for (auto [what, behind] : {std::pair{"ball", 0.0f}, {"camera", 0.1f}}) {
        auto at = [&, behind = behind](int i) {
            return bezierPoint(game.ballPath,
                               clampPathParameter(-0.1f + 1.2f * i / 6000.0f - behind));
        };
        bool courtyard = false;  // a castle moved out of the way would pass the rest
        for (int i = 1; i <= 6000; ++i) {
            const glm::vec3 p = at(i - 1), q = at(i);
            courtyard |= std::fabs(q.x) < 20.0f && std::fabs(q.z) < 20.0f && q.y < 8.0f;
            glm::vec3 lo = glm::min(p, q) - room, hi = glm::max(p, q) + room;
            for (const Triangle& t : castle) {
                // Only walls whose box comes within reach of this step can be hit or be near.
                if (glm::any(glm::lessThan(t.hi, lo)) || glm::any(glm::greaterThan(t.lo, hi))) {
                    continue;
                }
                ASSERT_FALSE(crosses(p, q, t)) << what << " hits a wall at " << q.x << " " << q.z;
                ASSERT_GE(distance2(q, t), room * room) << what << " near " << q.x << " " << q.z;
            }
        }
        EXPECT_TRUE(courtyard) << what << " never enters the courtyard";
    }
}

}  // namespace
