#pragma once

#include "MeshBuilder.h"

namespace dusk::assetgen {

// The ground, in model units: 140 x 140 at y = 0, which the scene's scale of (2.5, 1, 2.5) makes
// 350 x 350. The texture repeats every 10 world units.
MeshBuilder buildGround();

// Layout of the sky atlas skybox2.jpg: 3 x 2 cells, each a cube face with a border of
// continuing sky so that filtering at the face edges blends matching colours.
struct SkyAtlas {
    static constexpr int cell = 340;
    static constexpr int border = 10;
    static constexpr int width = 3 * cell;
    static constexpr int height = 2 * cell;
};

// One cube face: the direction at its centre, its right and its up as seen from inside.
struct SkyFace {
    glm::vec3 centre, right, up;
    int column, row;  // cell in the atlas, row 0 at the top
};
const SkyFace* skyFaces();  // six faces: +x, -x, +y, -y, +z, -z

// The sky box: the part of a cube of half size 450 around the origin that lies above the ground
// plane y = 0, faces toward the inside. Below it the sky would be pure fog colour, which the
// scene target's clear colour already is, so it is not drawn.
constexpr float kSkyHalfSize = 450.0f;
MeshBuilder buildSkyBox();

// A unit sphere made of quads (a subdivided cube pushed onto the sphere), written as quads.
bool writeQuadSphere(const std::string& path);

}  // namespace dusk::assetgen
