#include "Trees.h"

#include "Noise.h"

#include <cmath>
#include <vector>

namespace dusk::assetgen {

namespace {

const float kPi = 3.14159265f;
const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

glm::vec2 barkRepeat(float length) {
    // The bark strip is one image height tall; it repeats every 7 units of trunk.
    return glm::vec2(TreeAtlas::barkU1, length / 7.0f);
}

void bough(MeshBuilder& m, const glm::vec3& from, const glm::vec3& to, float r0, float r1,
           int sides) {
    m.tube(from, to, r0, r1, sides, glm::vec2(TreeAtlas::barkU0, 0.0f),
           barkRepeat(glm::length(to - from)), false);
}

// A leaf card: corners counter-clockwise from the sprite's bottom left, each with its own
// normal, drawn from both sides and lit alike from both, so that a clump shades as one volume.
void card(MeshBuilder& m, const glm::vec3 (&corner)[4], const glm::vec3 (&normal)[4],
          const AtlasRect& r) {
    const glm::vec2 uv[4] = {{r.u0, r.v0}, {r.u1, r.v0}, {r.u1, r.v1}, {r.u0, r.v1}};
    Vertex v[4];
    for (int i = 0; i < 4; ++i) {
        v[i] = Vertex{corner[i], normal[i], uv[i]};
    }
    m.doubleSidedQuad(v[0], v[1], v[2], v[3], true);
}

glm::vec3 fromAngles(float polar, float azimuth) {
    return {std::sin(polar) * std::cos(azimuth), std::cos(polar),
            std::sin(polar) * std::sin(azimuth)};
}

float uniform(Rng& rng, float lo, float hi) {
    return static_cast<float>(rng.range(lo, hi));
}

}  // namespace

MeshBuilder buildBroadleafTree() {
    MeshBuilder m;
    Rng rng(1101);
    const glm::vec3 fork(0.0f, 4.3f, 0.0f);
    bough(m, {0.0f, -0.5f, 0.0f}, fork + glm::vec3(0.0f, 0.3f, 0.0f), 0.6f, 0.42f, 8);

    // Three limbs leave the fork; each clump of leaves hangs on a bough from the nearest limb.
    const int limbs = 3;
    glm::vec3 limbEnd[limbs];
    for (int i = 0; i < limbs; ++i) {
        float azimuth = 2.0f * kPi * i / limbs + uniform(rng, -0.3f, 0.3f);
        limbEnd[i] = fork + glm::vec3(1.5f * std::cos(azimuth), uniform(rng, 2.4f, 3.0f),
                                      1.5f * std::sin(azimuth));
        bough(m, fork, limbEnd[i], 0.36f, 0.22f, 6);
    }

    // Clumps spread over an ellipsoid crown, from its top down to below its middle, with room
    // between them for the sky; one more sits inside, over the fork.
    const glm::vec3 crown(0.0f, 8.9f, 0.0f), radii(4.4f, 3.2f, 4.4f);
    struct Clump {
        glm::vec3 centre;
        float radius;
    };
    std::vector<Clump> clumps;
    const int outer = 10;
    for (int i = 0; i < outer; ++i) {
        float k = (i + 0.5f) / outer;
        float polar = 0.3f + 1.9f * k + uniform(rng, -0.1f, 0.1f);
        float azimuth = i * 2.39996323f + uniform(rng, -0.25f, 0.25f);
        glm::vec3 dir = fromAngles(polar, azimuth);
        clumps.push_back(
            {crown + dir * radii * uniform(rng, 0.85f, 1.0f), uniform(rng, 1.6f, 1.9f)});
    }
    clumps.push_back({crown + glm::vec3(0.3f, 0.5f, -0.2f), 1.9f});

    for (const Clump& clump : clumps) {
        // The bough: from the limb nearest in direction to just inside the clump.
        int nearest = 0;
        float best = -2.0f;
        for (int i = 0; i < limbs; ++i) {
            float d =
                glm::dot(glm::normalize(clump.centre - fork), glm::normalize(limbEnd[i] - fork));
            if (d > best) {
                best = d;
                nearest = i;
            }
        }
        glm::vec3 from = limbEnd[nearest];
        glm::vec3 to = from + (clump.centre - from) * 0.85f;
        bough(m, from, to, 0.2f, 0.07f, 5);

        glm::vec3 outward = glm::normalize(clump.centre - crown);
        const int cards = 7;
        float spin = uniform(rng, 0.0f, 2.0f * kPi);
        for (int j = 0; j < cards; ++j) {
            // Cards face every way from the clump's middle, so that it reads as a volume from
            // any side.
            float k = (j + 0.5f) / cards;
            glm::vec3 facing = fromAngles(std::acos(1.0f - 2.0f * k), spin + j * 2.39996323f);
            glm::vec3 c = clump.centre + facing * (0.3f * clump.radius);
            glm::vec3 helper = std::fabs(facing.y) < 0.9f ? kUp : glm::vec3(1.0f, 0.0f, 0.0f);
            glm::vec3 side = glm::normalize(glm::cross(helper, facing));
            glm::vec3 up = glm::cross(facing, side);
            float roll = uniform(rng, -0.5f, 0.5f);
            glm::vec3 s = side * std::cos(roll) + up * std::sin(roll);
            glm::vec3 u = glm::cross(facing, s);
            float half = clump.radius * uniform(rng, 0.8f, 0.92f);
            glm::vec3 corner[4] = {c - s * half - u * half, c + s * half - u * half,
                                   c + s * half + u * half, c - s * half + u * half};
            // Lit as a lumpy ball: each corner's normal leans out of its clump and out of the
            // crown, so the sunny side of every clump is light and its underside dark.
            glm::vec3 normal[4];
            for (int q = 0; q < 4; ++q) {
                normal[q] = glm::normalize(0.55f * (corner[q] - clump.centre) / clump.radius +
                                           0.45f * (corner[q] - crown) / radii +
                                           glm::vec3(0.0f, 0.1f, 0.0f));
            }
            // The cards toward the crown's inside and underneath take the shaded leaves.
            bool shaded = glm::dot(facing, outward) < -0.25f || facing.y < -0.45f;
            card(m, corner, normal,
                 shaded ? TreeAtlas::shadeLeaves.rect() : TreeAtlas::sunLeaves.rect());
        }
    }
    return m;
}

MeshBuilder buildFirTree() {
    MeshBuilder m;
    Rng rng(3303);
    const float height = 14.4f;
    bough(m, {0.0f, -0.5f, 0.0f}, {0.0f, height - 1.0f, 0.0f}, 0.42f, 0.07f, 8);
    // Whorls of branches, each branch one card bent in two: its inner half nearly level, its
    // outer half drooping (the short ones at the top straight), turned a little about its own axis
    // so that it shows from the side.
    const int whorls = 14;
    for (int t = 0; t < whorls; ++t) {
        float f = static_cast<float>(t) / (whorls - 1);
        float y = 1.9f + f * (height - 3.6f);
        float length = 0.8f + 4.2f * std::pow(1.0f - f, 1.1f);
        int branches = static_cast<int>(std::lround(8.0f - 3.0f * f));
        float offset = uniform(rng, 0.0f, 2.0f * kPi);
        AtlasRect r = f < 0.55f ? TreeAtlas::firBranch.rect() : TreeAtlas::firYoung.rect();
        float uMid = 0.5f * (r.u0 + r.u1);
        for (int b = 0; b < branches; ++b) {
            float angle = offset + 2.0f * kPi * b / branches + uniform(rng, -0.15f, 0.15f);
            glm::vec3 radial(std::cos(angle), 0.0f, std::sin(angle));
            glm::vec3 tangent(-radial.z, 0.0f, radial.x);
            float inner = uniform(rng, 0.05f, 0.2f), outerDroop = uniform(rng, 0.45f, 0.65f);
            glm::vec3 a = glm::vec3(0.0f, y, 0.0f) + radial * 0.12f;
            glm::vec3 mid = a + glm::normalize(radial - kUp * inner) * (0.5f * length);
            glm::vec3 tip = mid + glm::normalize(radial - kUp * outerDroop) * (0.5f * length);
            float roll = (b % 2 == 0 ? 1.0f : -1.0f) * uniform(rng, 0.25f, 0.5f);
            glm::vec3 across = tangent * std::cos(roll) + kUp * std::sin(roll);
            float halfWidth = 0.42f * length + 0.25f;
            glm::vec3 p[3] = {a, mid, tip};
            float u[3] = {r.u0, uMid, r.u1};
            // Short branches near the top droop too little to need the bend.
            int segments = length > 2.0f ? 2 : 1;
            if (segments == 1) {
                p[1] = a + glm::normalize(radial - kUp * (0.5f * (inner + outerDroop))) * length;
                u[1] = r.u1;
            }
            for (int s = 0; s < segments; ++s) {
                glm::vec3 corner[4] = {p[s] + across * halfWidth, p[s + 1] + across * halfWidth,
                                       p[s + 1] - across * halfWidth, p[s] - across * halfWidth};
                // Lit as a cone: more outward toward the tips.
                glm::vec3 nIn = glm::normalize(radial * (0.3f + 0.5f * s) + kUp * 0.8f);
                glm::vec3 nOut = glm::normalize(radial * (0.8f + 0.5f * s) + kUp * 0.8f);
                glm::vec3 normal[4] = {nIn, nOut, nOut, nIn};
                card(m, corner, normal, {u[s], u[s + 1], r.v0, r.v1});
            }
        }
    }
    // The leader: two crossed upright cards of young growth.
    AtlasRect r = TreeAtlas::firYoung.rect();
    for (int i = 0; i < 2; ++i) {
        float angle = kPi * 0.5f * i;
        glm::vec3 side(std::cos(angle), 0.0f, std::sin(angle));
        glm::vec3 normal = glm::normalize(glm::cross(side, kUp) + kUp);
        // The sprite's branch runs along u: turned upright, trunk end at the bottom.
        Vertex a{glm::vec3(0, height - 2.4f, 0) + side * 0.6f, normal, {r.u0, r.v0}};
        Vertex b{glm::vec3(0, height, 0) + side * 0.6f, normal, {r.u1, r.v0}};
        Vertex c{glm::vec3(0, height, 0) - side * 0.6f, normal, {r.u1, r.v1}};
        Vertex d{glm::vec3(0, height - 2.4f, 0) - side * 0.6f, normal, {r.u0, r.v1}};
        m.doubleSidedQuad(a, b, c, d, true);
    }
    return m;
}

}  // namespace dusk::assetgen
