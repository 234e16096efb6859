#include "Trees.h"

#include "Noise.h"

#include <cmath>

namespace dusk::assetgen {

namespace {

const float kPi = 3.14159265f;

glm::vec2 barkRepeat(float length) {
    // The bark strip is one image height tall; it repeats every 7 units of trunk.
    return glm::vec2(TreeAtlas::barkU1, length / 7.0f);
}

// A leaf card centred at `c`, spanned by unit axes `side` and `up` with half sizes, both
// windings, lit with the given normal on both sides so that a crown shades as one volume.
void card(MeshBuilder& m, const glm::vec3& c, const glm::vec3& side, const glm::vec3& up,
          float halfSide, float halfUp, const glm::vec3& normal, float u0, float u1, float v0,
          float v1) {
    Vertex a{c - side * halfSide - up * halfUp, normal, {u0, v0}};
    Vertex b{c + side * halfSide - up * halfUp, normal, {u1, v0}};
    Vertex d{c + side * halfSide + up * halfUp, normal, {u1, v1}};
    Vertex e{c - side * halfSide + up * halfUp, normal, {u0, v1}};
    m.doubleSidedQuad(a, b, d, e, true);
}

}  // namespace

MeshBuilder buildBroadleafTree() {
    MeshBuilder m;
    Rng rng(1101);
    const glm::vec2 uv0(TreeAtlas::barkU0, 0.0f);
    m.tube({0.0f, -0.5f, 0.0f}, {0.0f, 7.6f, 0.0f}, 0.55f, 0.32f, 10, uv0, barkRepeat(8.1f), true);
    // Boughs from the upper trunk into the crown.
    const glm::vec3 crown(0.0f, 9.4f, 0.0f);
    for (int i = 0; i < 5; ++i) {
        float angle = 2.0f * kPi * i / 5.0f + 0.4f;
        float y = 5.6f + 0.45f * i;
        glm::vec3 from(0.0f, y, 0.0f);
        glm::vec3 to(3.0f * std::cos(angle), y + 2.4f, 3.0f * std::sin(angle));
        m.tube(from, to, 0.2f, 0.07f, 6, uv0, glm::vec2(0.1f, 0.5f), true);
    }
    // The crown: leaf cards on an ellipsoid shell and a few inside it, turned at random.
    const glm::vec3 radii(3.9f, 3.0f, 3.9f);
    const int cards = 46;
    for (int i = 0; i < cards; ++i) {
        // Even spread over the sphere (a spiral), then jitter.
        float k = (i + 0.5f) / cards;
        float polar = std::acos(1.0f - 2.0f * k);
        float azimuth = i * 2.39996323f;
        glm::vec3 dir(std::sin(polar) * std::cos(azimuth), std::cos(polar),
                      std::sin(polar) * std::sin(azimuth));
        float shell = i % 5 == 0 ? 0.45f : static_cast<float>(rng.range(0.78, 1.0));
        glm::vec3 c = crown + dir * radii * shell;
        glm::vec3 normal = glm::normalize(dir + glm::vec3(0.0f, 0.35f, 0.0f));
        // Cards face roughly outward, turned about their normal at random.
        glm::vec3 helper = std::fabs(normal.y) < 0.95f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
        glm::vec3 side = glm::normalize(glm::cross(helper, normal));
        glm::vec3 up = glm::cross(normal, side);
        float roll = static_cast<float>(rng.range(0.0, 2.0 * kPi));
        glm::vec3 s = side * std::cos(roll) + up * std::sin(roll);
        glm::vec3 u = glm::cross(normal, s);
        // Tilt the card off the shell so that neighbours cross instead of stacking.
        float tilt = static_cast<float>(rng.range(-0.6, 0.6));
        glm::vec3 faceUp = glm::normalize(u * std::cos(tilt) + normal * std::sin(tilt));
        float size = static_cast<float>(rng.range(1.6, 2.1));
        card(m, c, s, faceUp, size, size, normal, TreeAtlas::leafU0, TreeAtlas::leafU1,
             TreeAtlas::leafV0, TreeAtlas::leafV1);
    }
    return m;
}

MeshBuilder buildFirTree() {
    MeshBuilder m;
    Rng rng(3303);
    const glm::vec2 uv0(TreeAtlas::barkU0, 0.0f);
    const float height = 14.0f;
    m.tube({0.0f, -0.5f, 0.0f}, {0.0f, height - 0.8f, 0.0f}, 0.42f, 0.08f, 8, uv0,
           barkRepeat(height - 0.3f), true);
    // Tiers of branches, each a horizontal-ish card and a crossing upright card.
    const int tiers = 10;
    for (int t = 0; t < tiers; ++t) {
        float f = static_cast<float>(t) / (tiers - 1);
        float y = 2.6f + f * (height - 4.4f);
        float length = 4.3f * (1.0f - f) + 0.9f;
        int branches = t < tiers - 3 ? 7 : 5;
        float offset = static_cast<float>(rng.range(0.0, 2.0 * kPi));
        for (int b = 0; b < branches; ++b) {
            float angle = offset + 2.0f * kPi * b / branches;
            glm::vec3 radial(std::cos(angle), 0.0f, std::sin(angle));
            glm::vec3 tangent(-radial.z, 0.0f, radial.x);
            float droop = 0.32f + 0.1f * static_cast<float>(rng.uniform());
            glm::vec3 along = glm::normalize(radial - glm::vec3(0.0f, droop, 0.0f));
            glm::vec3 c = glm::vec3(0.0f, y, 0.0f) + along * (0.5f * length + 0.1f);
            glm::vec3 normal = glm::normalize(radial * 0.6f + glm::vec3(0.0f, 1.0f, 0.0f));
            float halfWidth = 0.33f * length + 0.25f;
            // u runs along the branch (trunk end at u0), v across it.
            card(m, c, along, tangent, 0.5f * length, halfWidth, normal, TreeAtlas::leafU0,
                 TreeAtlas::leafU1, TreeAtlas::firV0, TreeAtlas::firV1);
            glm::vec3 upright = glm::normalize(glm::cross(tangent, along));
            card(m, c, along, upright, 0.5f * length, 0.7f * halfWidth, normal, TreeAtlas::leafU0,
                 TreeAtlas::leafU1, TreeAtlas::firV0, TreeAtlas::firV1);
        }
    }
    // The tip: two crossed upright cards.
    for (int i = 0; i < 2; ++i) {
        float angle = kPi * 0.5f * i;
        glm::vec3 side(std::cos(angle), 0.0f, std::sin(angle));
        glm::vec3 up(0.0f, 1.0f, 0.0f);
        glm::vec3 normal = glm::normalize(glm::cross(side, up) + up);
        // The sprite's branch runs along u: turn it upright, trunk end at the bottom.
        Vertex a{glm::vec3(0, height - 2.2f, 0) + side * 0.7f,
                 normal,
                 {TreeAtlas::leafU0, TreeAtlas::firV0}};
        Vertex b{
            glm::vec3(0, height, 0) + side * 0.7f, normal, {TreeAtlas::leafU1, TreeAtlas::firV0}};
        Vertex c{
            glm::vec3(0, height, 0) - side * 0.7f, normal, {TreeAtlas::leafU1, TreeAtlas::firV1}};
        Vertex d{glm::vec3(0, height - 2.2f, 0) - side * 0.7f,
                 normal,
                 {TreeAtlas::leafU0, TreeAtlas::firV1}};
        m.doubleSidedQuad(a, b, c, d, true);
    }
    return m;
}

}  // namespace dusk::assetgen
