#include "assets/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

bool isFinite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void expectNear(const glm::vec3& actual, const glm::vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

// Corners placed by a linear map of their texture coordinates: p = origin + u * du + v * dv, so
// the tangent must be du and the bitangent dv, whatever the corners' order.
struct Mapping {
    glm::vec3 origin;
    glm::vec3 du;
    glm::vec3 dv;
};

TEST(TangentBasis, LinearMappingGivesItsUnnormalisedAxes) {
    const Mapping mappings[] = {
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
        {{5, -2, 7}, {0, 3, 0}, {0, 0, -4}},       // scaled: the basis is not normalised
        {{1, 1, 1}, {2, 1, 0}, {-1, 2, 0.5f}},     // skewed
        {{0, 0, 0}, {0, 0, 1e-3f}, {1e-3f, 0, 0}}  // small model, still a valid mapping
    };
    const glm::vec2 uvSets[][3] = {
        {{0, 0}, {1, 0}, {0, 1}},
        {{0.25f, 0.75f}, {0.5f, 0.1f}, {0.9f, 0.6f}},
        {{0, 1}, {1, 1}, {1, 0}},  // clockwise in texture space: negative determinant
    };
    for (const Mapping& m : mappings) {
        for (const auto& uvs : uvSets) {
            glm::vec3 p[3];
            for (int c = 0; c < 3; ++c) {
                p[c] = m.origin + uvs[c].x * m.du + uvs[c].y * m.dv;
            }
            glm::vec3 tangent(99.0f);
            glm::vec3 bitangent(99.0f);
            dusk::triangleTangentBasis(p, uvs, &tangent, &bitangent);
            SCOPED_TRACE(testing::Message() << "du " << m.du.x << "," << m.du.y << "," << m.du.z
                                            << " uv0 " << uvs[0].x << "," << uvs[0].y);
            expectNear(tangent, m.du);
            expectNear(bitangent, m.dv);
        }
    }
}

// Texture coordinates that span no area leave the formula without an answer: the basis must
// still be finite, of unit length and lie in the face's plane, so lighting stays usable.
TEST(TangentBasis, DegenerateTextureCoordinatesGiveAFiniteBasisInTheFacePlane) {
    const glm::vec3 faces[][3] = {
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},      // normal +z
        {{1, 0, 0}, {1, 2, 0}, {1, 0, 3}},      // normal +x (helper axis must change)
        {{0, 5, 0}, {0, 5, 1}, {1, 5, 0}},      // normal +y
        {{0, 0, 0}, {1, 2, 3}, {-2, 1, 0.5f}},  // oblique
    };
    const float tiny = std::numeric_limits<float>::denorm_min();
    const glm::vec2 uvSets[][3] = {
        {{0, 0}, {0, 0}, {0, 0}},  // a mesh without texture coordinates
        {{0.3f, 0.3f}, {0.3f, 0.3f}, {0.3f, 0.3f}},
        {{0, 0}, {0.5f, 0.5f}, {1, 1}},      // collinear
        {{0, 0}, {1, 0}, {2, 0}},            // all on one row
        {{0, 0}, {tiny, 0}, {0, tiny}},      // determinant underflows to zero
        {{0, 0}, {1e-20f, 0}, {0, 1e-20f}},  // its inverse overflows
        {{0, 0}, {NAN, 0}, {0, 1}},          // broken input
    };
    for (const auto& p : faces) {
        glm::vec3 normal = glm::normalize(glm::cross(p[1] - p[0], p[2] - p[0]));
        for (const auto& uvs : uvSets) {
            glm::vec3 tangent;
            glm::vec3 bitangent;
            dusk::triangleTangentBasis(p, uvs, &tangent, &bitangent);
            SCOPED_TRACE(testing::Message() << "face normal " << normal.x << "," << normal.y << ","
                                            << normal.z << " uv1 " << uvs[1].x << "," << uvs[1].y);
            ASSERT_TRUE(isFinite(tangent));
            ASSERT_TRUE(isFinite(bitangent));
            EXPECT_NEAR(glm::length(tangent), 1.0f, 1e-5f);
            EXPECT_NEAR(glm::length(bitangent), 1.0f, 1e-5f);
            EXPECT_NEAR(glm::dot(tangent, normal), 0.0f, 1e-5f);
            EXPECT_NEAR(glm::dot(bitangent, normal), 0.0f, 1e-5f);
            EXPECT_NEAR(glm::dot(tangent, bitangent), 0.0f, 1e-5f);
        }
    }
}

// A face without area (repeated or collinear corners) has no plane; any finite basis will do.
TEST(TangentBasis, FacesWithoutAreaStayFinite) {
    const glm::vec3 faces[][3] = {
        {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}},
        {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}},
        {{0, 0, 0}, {1e30f, 0, 0}, {0, 1e30f, 0}},  // area overflows
    };
    const glm::vec2 uvSets[][3] = {
        {{0, 0}, {0, 0}, {0, 0}},
        {{0, 0}, {1, 0}, {0, 1}},
    };
    for (const auto& p : faces) {
        for (const auto& uvs : uvSets) {
            glm::vec3 tangent;
            glm::vec3 bitangent;
            dusk::triangleTangentBasis(p, uvs, &tangent, &bitangent);
            SCOPED_TRACE(testing::Message() << "corner 1 " << p[1].x << " uv1 " << uvs[1].x);
            EXPECT_TRUE(isFinite(tangent));
            EXPECT_TRUE(isFinite(bitangent));
        }
    }
}

}  // namespace
