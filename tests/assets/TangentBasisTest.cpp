#include "assets/Model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Corners placed by a linear map of their texture coordinates, p = u * du + v * dv: the tangent
// must be du and the bitangent dv, unnormalised, whatever the corners' order.
TEST(TangentBasisTest, LinearMappingGivesItsAxes) {
    struct Case {
        glm::vec3 du, dv;
        glm::vec2 uv[3];
    };
    for (const Case& c : {
             Case{{1, 0, 0}, {0, 1, 0}, {{0, 0}, {1, 0}, {0, 1}}},
             Case{{0, 3, 0}, {0, 0, -4}, {{0.25f, 0.75f}, {0.5f, 0.1f}, {0.9f, 0.6f}}},
             Case{{2, 1, 0}, {-1, 2, 0.5f}, {{0, 1}, {1, 1}, {1, 0}}},  // clockwise in uv
         }) {
        glm::vec3 p[3];
        for (int i = 0; i < 3; ++i) {
            p[i] = c.uv[i].x * c.du + c.uv[i].y * c.dv;
        }
        glm::vec3 tangent, bitangent;
        dusk::triangleTangentBasis(p, c.uv, &tangent, &bitangent);
        EXPECT_NEAR(glm::distance(tangent, c.du), 0.0f, 1e-4f) << c.du.x << c.du.y << c.du.z;
        EXPECT_NEAR(glm::distance(bitangent, c.dv), 0.0f, 1e-4f) << c.du.x << c.du.y << c.du.z;
    }
}

// Texture coordinates without area (a model without them reads as all zero) leave the formula
// without an answer: the basis must still be finite and lie in the face, or the lighting of the
// whole face turns black.
TEST(TangentBasisTest, DegenerateTextureCoordinatesGiveAFiniteBasisInTheFace) {
    const glm::vec3 face[3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}};
    const glm::vec3 noArea[3] = {{1, 1, 1}, {1, 1, 1}, {2, 2, 2}};
    const glm::vec2 uvs[2][3] = {{{0, 0}, {0, 0}, {0, 0}}, {{0, 0}, {1, 1}, {2, 2}}};
    for (const auto& uv : uvs) {
        glm::vec3 tangent, bitangent;
        dusk::triangleTangentBasis(face, uv, &tangent, &bitangent);
        EXPECT_TRUE(std::isfinite(glm::dot(tangent, tangent) + glm::dot(bitangent, bitangent)));
        EXPECT_NEAR(tangent.y, 0.0f, 1e-6f);  // the face's normal is y
        EXPECT_NEAR(bitangent.y, 0.0f, 1e-6f);
        EXPECT_NEAR(glm::length(tangent), 1.0f, 1e-5f);
        dusk::triangleTangentBasis(noArea, uv, &tangent, &bitangent);
        EXPECT_TRUE(std::isfinite(glm::dot(tangent, tangent) + glm::dot(bitangent, bitangent)));
    }
}

}  // namespace
