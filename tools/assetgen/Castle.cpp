#include "Castle.h"

#include <cmath>

namespace dusk::assetgen {

namespace {

const float kTexel = 4.0f;    // world units per repeat of the stone texture
const float kBase = -1.0f;    // foundations below the ground
const float kHalf = 25.0f;    // curtain wall centre lines at +-25
const float kThick = 1.0f;    // half thickness of the curtain wall
const float kWallTop = 8.0f;  // wall walk height
const float kMerlonH = 1.3f;  // merlon height
const float kTowerR = 4.5f;   // corner tower radius
const float kTowerTop = 13.0f;
const float kPi = 3.14159265f;

// Merlons along a straight wall top from a to b (on the axis `alongX`), on the outer edge.
// `fixed0`..`fixed1` is the merlons' extent across the wall.
void merlonRow(MeshBuilder& m, bool alongX, float a, float b, float fixed0, float fixed1,
               float top) {
    const float length = 1.2f, pitch = 2.2f;
    int count = static_cast<int>(std::floor((b - a + pitch - length) / pitch));
    if (count < 1) {
        return;
    }
    float used = (count - 1) * pitch + length;
    float start = a + 0.5f * (b - a - used);
    for (int i = 0; i < count; ++i) {
        float s0 = start + i * pitch, s1 = s0 + length;
        glm::vec3 lo = alongX ? glm::vec3(s0, top, fixed0) : glm::vec3(fixed0, top, s0);
        glm::vec3 hi =
            alongX ? glm::vec3(s1, top + kMerlonH, fixed1) : glm::vec3(fixed1, top + kMerlonH, s1);
        m.box(lo, hi, kTexel);
    }
}

// Merlons round the edge of a flat rectangular roof.
void merlonRing(MeshBuilder& m, const glm::vec3& lo, const glm::vec3& hi, float depth) {
    merlonRow(m, true, lo.x, hi.x, lo.z, lo.z + depth, hi.y);
    merlonRow(m, true, lo.x, hi.x, hi.z - depth, hi.z, hi.y);
    merlonRow(m, false, lo.z + depth, hi.z - depth, lo.x, lo.x + depth, hi.y);
    merlonRow(m, false, lo.z + depth, hi.z - depth, hi.x - depth, hi.x, hi.y);
}

// A round tower with a flat crenellated top.
void roundTower(MeshBuilder& m, const glm::vec2& centre, float radius, float top, int merlons) {
    m.prism(centre, radius, kBase, top, 20, kTexel, true);
    const float depth = 0.4f;
    float halfLength = 0.55f * (2.0f * kPi * radius / merlons) * 0.55f;
    for (int i = 0; i < merlons; ++i) {
        float theta = 2.0f * kPi * (i + 0.5f) / merlons;
        glm::vec3 c(centre.x + (radius - depth) * std::cos(theta), top + 0.5f * kMerlonH,
                    centre.y + (radius - depth) * std::sin(theta));
        // Local x along the tangent, local z along the radius.
        m.turnedBox(c, glm::vec3(halfLength, 0.5f * kMerlonH, depth), -theta - 0.5f * kPi, kTexel);
    }
}

void curtainWalls(MeshBuilder& m) {
    const float outer = kHalf + kThick, inner = kHalf - kThick;
    const float open = kHalf - kTowerR;  // wall top between the corner towers
    const float merlonDepth = 0.7f;
    // North and south walls.
    m.box({-kHalf, kBase, inner}, {kHalf, kWallTop, outer}, kTexel);
    merlonRow(m, true, -open, open, outer - merlonDepth, outer, kWallTop);
    m.box({-kHalf, kBase, -outer}, {kHalf, kWallTop, -inner}, kTexel);
    merlonRow(m, true, -open, open, -outer, -outer + merlonDepth, kWallTop);
    // East wall.
    m.box({inner, kBase, -kHalf}, {outer, kWallTop, kHalf}, kTexel);
    merlonRow(m, false, -open, open, outer - merlonDepth, outer, kWallTop);
    // West wall, in two parts beside the gate towers.
    m.box({-outer, kBase, -kHalf}, {-inner, kWallTop, -5.0f}, kTexel);
    merlonRow(m, false, -open, -6.5f, -outer, -outer + merlonDepth, kWallTop);
    m.box({-outer, kBase, 13.0f}, {-inner, kWallTop, kHalf}, kTexel);
    merlonRow(m, false, 14.5f, open, -outer, -outer + merlonDepth, kWallTop);
}

// The gate: two square towers at z -6.5..-1 and 9..14.5 and a lintel high over the passage.
void gate(MeshBuilder& m) {
    const float x0 = -28.5f, x1 = -21.5f, top = 14.0f;
    glm::vec3 southLo(x0, kBase, -6.5f), southHi(x1, top, -1.0f);
    glm::vec3 northLo(x0, kBase, 9.0f), northHi(x1, top, 14.5f);
    m.box(southLo, southHi, kTexel);
    merlonRing(m, southLo, southHi, 0.6f);
    m.box(northLo, northHi, kTexel);
    merlonRing(m, northLo, northHi, 0.6f);
    // The passage stays open up to y = 10.5: the flight enters low and leaves climbing.
    glm::vec3 lintelLo(-27.5f, 10.5f, -1.0f), lintelHi(-22.5f, 12.5f, 9.0f);
    m.box(lintelLo, lintelHi, kTexel, true);
    merlonRow(m, false, -0.6f, 8.6f, -27.5f, -26.9f, 12.5f);
    merlonRow(m, false, -0.6f, 8.6f, -23.1f, -22.5f, 12.5f);
}

void keep(MeshBuilder& m) {
    glm::vec3 lo(3.0f, kBase, -8.0f), hi(15.0f, 18.0f, 4.0f);
    m.box(lo, hi, kTexel);
    // A string course below the top breaks the tall faces.
    m.box({2.7f, 15.6f, -8.3f}, {15.3f, 16.2f, 4.3f}, kTexel, true);
    merlonRing(m, lo, hi, 0.6f);
    roundTower(m, {3.0f, -8.0f}, 2.2f, 22.0f, 7);
    roundTower(m, {15.0f, 4.0f}, 2.2f, 22.0f, 7);
}

// A hall with a gabled stone roof against the north wall.
void hall(MeshBuilder& m) {
    const float x0 = -20.0f, x1 = -6.0f, z0 = 15.0f, z1 = 23.0f, eaves = 6.0f, ridge = 9.5f;
    const float zm = 0.5f * (z0 + z1);
    m.box({x0, kBase, z0}, {x1, eaves, z1}, kTexel);
    m.planarQuad({x1, eaves, z0}, {x0, eaves, z0}, {x0, ridge, zm}, {x1, ridge, zm}, kTexel);
    m.planarQuad({x0, eaves, z1}, {x1, eaves, z1}, {x1, ridge, zm}, {x0, ridge, zm}, kTexel);
    m.planarTriangle({x1, eaves, z1}, {x1, eaves, z0}, {x1, ridge, zm}, kTexel);
    m.planarTriangle({x0, eaves, z0}, {x0, eaves, z1}, {x0, ridge, zm}, kTexel);
}

// A stair up to the wall walk along the inside of the south wall.
void stair(MeshBuilder& m) {
    const int steps = 12;
    for (int i = 0; i < steps; ++i) {
        float x0 = -16.0f + i * 1.0f;
        float top = kWallTop * (i + 1) / steps;
        m.box({x0, kBase, -24.0f}, {x0 + 1.0f, top, -21.8f}, kTexel);
    }
}

}  // namespace

MeshBuilder buildCastle() {
    MeshBuilder m;
    curtainWalls(m);
    for (int i = 0; i < 4; ++i) {
        glm::vec2 c(i & 1 ? kHalf : -kHalf, i & 2 ? kHalf : -kHalf);
        roundTower(m, c, kTowerR, kTowerTop, 12);
    }
    gate(m);
    keep(m);
    hall(m);
    stair(m);
    // The well.
    m.prism({-12.0f, -10.0f}, 1.3f, kBase, 1.0f, 14, kTexel, true);
    return m;
}

}  // namespace dusk::assetgen
