#pragma once

#include "ImageBuffer.h"
#include "MeshBuilder.h"

namespace dusk::assetgen {

// A rectangle of tree1.png in OBJ texture coordinates (v = 0 at the image bottom).
struct AtlasRect {
    float u0, u1, v0, v1;
};

// Regions of tree1.png, drawn 1024 pixels a side (stored at half that). The bark strip wraps
// horizontally across the image edge; the foliage sprites have transparent borders.
struct TreeAtlas {
    static constexpr int drawnSize = 1024;
    static constexpr float barkU0 = 0.0f, barkU1 = 0.25f;
    // Pixel rectangles (x, y from the top left, width, height) of the sprites as drawn.
    struct Pixels {
        int x, y, w, h;
        AtlasRect rect() const {
            const float s = 1.0f / drawnSize;
            return {x * s, (x + w) * s, 1.0f - (y + h) * s, 1.0f - y * s};
        }
    };
    // Two sprays of broadleaf leaves, the second darker: the shaded inside of a crown. The twigs
    // enter from the bottom edge's middle.
    static constexpr Pixels sunLeaves{320, 0, 320, 320};
    static constexpr Pixels shadeLeaves{640, 0, 320, 320};
    // Fir branches, trunk at the left edge, tip at the right; the second younger and lighter.
    static constexpr Pixels firBranch{320, 336, 640, 336};
    static constexpr Pixels firYoung{320, 688, 640, 336};
};

// tree1.png: the bark strip and the foliage sprites, stored at half the drawn size. Foliage alpha
// is 0.9 where opaque, so that the lit shader can tell leaves (light passing through) from bark.
ImageBuffer makeTreeAtlas();

// A broadleaf tree: a trunk that forks into limbs and boughs, each bough ending in a clump of
// leaf cards with open sky between the clumps; about 13 tall and 11 across. Foot at the origin.
MeshBuilder buildBroadleafTree();
// A fir: a slim trunk with whorls of drooping branches shrinking toward the top, about 14.5 tall
// and 9 across at the bottom whorl.
MeshBuilder buildFirTree();

}  // namespace dusk::assetgen
