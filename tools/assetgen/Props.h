#pragma once

#include "MeshBuilder.h"

namespace dusk::assetgen {

// Layout of the sky atlas skybox2.jpg, 1024 x 512 (a power of two a side, which the renderer
// builds mipmaps for fastest): one cell per cube face that the sky box draws, each with a
// border of continuing sky so that filtering at the face edges blends matching colours. The
// top face has a square cell; the four side faces only their upper halves (the sky box ends at
// the ground plane), in cells half as tall. The bottom face has none.
struct SkyAtlas {
    static constexpr int width = 1024;
    static constexpr int height = 512;
    static constexpr int cell = 340;  // cell width, and the height of a whole face's cell
    static constexpr int border = 10;
    static constexpr int inner = cell - 2 * border;
};

// One cube face: the direction at its centre, its right and its up as seen from inside, and
// its cell: the top left pixel and the lowest `up` coordinate t (0 the face's bottom edge, 1
// its top) that the cell holds. `drawn` is false for the bottom face.
struct SkyFace {
    glm::vec3 centre, right, up;
    int x, y;
    float t0;
    bool drawn;
    int cellHeight() const {
        return 2 * SkyAtlas::border + static_cast<int>(SkyAtlas::inner * (1.0f - t0));
    }
};
const SkyFace* skyFaces();  // six faces: +x, -x, +y, -y, +z, -z

// The sky box: the part of a cube of half size 450 around the origin that lies above the ground
// plane y = 0, faces toward the inside. Below that plane the sky program would show pure fog
// colour, which the scene target's clear colour already is.
constexpr float kSkyHalfSize = 450.0f;
MeshBuilder buildSkyBox();

// A unit sphere made of quads (a subdivided cube pushed onto the sphere), written as quads.
bool writeQuadSphere(const std::string& path);

}  // namespace dusk::assetgen
