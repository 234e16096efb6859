#pragma once

#include "MeshBuilder.h"

namespace dusk::assetgen {

// Regions of tree1.png, in OBJ texture coordinates (v = 0 at the image bottom). The bark strip
// wraps horizontally across the image edge; the two foliage sprites have transparent borders.
struct TreeAtlas {
    static constexpr float barkU0 = 0.0f, barkU1 = 0.25f;
    // Broadleaf cluster: image columns 320..960, top half.
    static constexpr float leafU0 = 320.0f / 1024.0f, leafU1 = 960.0f / 1024.0f;
    static constexpr float leafV0 = 0.5f, leafV1 = 1.0f;
    // Fir branch: the same columns, bottom half; the branch runs left (trunk) to right (tip).
    static constexpr float firV0 = 0.0f, firV1 = 0.5f;
};

// A broadleaf tree: a stout trunk, a few boughs and a round crown of leaf cards, about 13.5
// tall and 10 across. Foot at the origin.
MeshBuilder buildBroadleafTree();
// A fir: a slim trunk with tiers of needle branches shrinking toward the top, about 14 tall
// and 8 across at the bottom tier.
MeshBuilder buildFirTree();

}  // namespace dusk::assetgen
