#pragma once

#include "MeshBuilder.h"
#include "Textures.h"

#include <cstdint>
#include <vector>

namespace dusk::assetgen {

// What covers the ground at a corner of a cell. Worn earth and lush grass never meet in one
// cell: dry grass lies between them.
enum class Cover : uint8_t { lush, dry, worn };

// The ground is a grid of cells, each showing one tile of the maps: the tile whose
// corners have the covers of the cell's corners, so that neighbouring tiles match along every
// edge and the field changes from lush to dry to worn over tens of metres without a repeat. The
// maps hold two sets of 4 x 4 tiles, one over lush and dry corners, one over dry and worn; in
// each every combination of corners comes once, laid out so that the set itself tiles.
struct MeadowLayout {
    static constexpr int cells = 30;            // a side
    static constexpr float worldSize = 350.0f;  // a side, in world units
    static constexpr float worldScale = 2.5f;   // of the scene's model matrix (x and z)
    static constexpr int tilePixels = 256;      // a tile's side in the colour and normal maps
    static constexpr int columns = 4, rows = 8;
    static constexpr int width = columns * tilePixels, height = rows * tilePixels;
};

// Where grid line i (0 to cells) crosses an axis, in world units from the field's middle. The
// cells are smallest round the castle and grow toward the rim, twice as wide there: far from the
// castle the ground is seen from farther off and through more fog, and fewer, larger cells cost
// less to draw.
float meadowGridLine(int i);

// The covers of the cells' corners, (cells + 1)^2 of them, row by row from the north edge
// (world -z) and west to east: worn earth in and along the castle and on a path from its gate,
// lush and dry patches elsewhere.
std::vector<Cover> meadowCovers();

// The tile (column, and row from the top) whose corners have these covers. `pick` chooses
// between the two tiles that hold dry grass only.
struct TileIndex {
    int column, row;
};
TileIndex meadowTile(Cover northWest, Cover northEast, Cover southWest, Cover southEast,
                     uint32_t pick);

// The ground, in model units: 140 x 140 at y = 0, which the scene's scale makes 350 x 350.
MeshBuilder buildGround();
// The meadow's colour map of MeadowLayout's size and its normal and specular maps at half that:
// grass in tufts, bare earth and pebbles, lush, dry or worn as the tiles' corners say.
SurfaceMaps makeGround();

}  // namespace dusk::assetgen
