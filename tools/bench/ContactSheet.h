#pragma once

#include "RgbImage.h"

#include <vector>

namespace dusk::bench {

// One picture of the whole intro: `count` frames at pathTime values evenly spread from -0.1 to
// 1.6, shrunk into a grid of tiles in time order (left to right, then down), each labelled
// with its pathTime.
class ContactSheet {
public:
    ContactSheet(int count, int frameWidth, int frameHeight);

    // True while the next tile's pathTime has been reached.
    bool wants(float pathTime) const;
    // Shrinks the frame into the next tile.
    void add(const RgbImage& frame, float pathTime);
    bool complete() const { return next >= times.size(); }

    std::vector<double> times;  // the pathTime of each tile
    size_t next;                // the tile to fill next
    int columns;
    int rows;
    int tileWidth;
    int tileHeight;
    RgbImage sheet;
};

// Box-filters `source` down (or up) to `width` x `height` into `target` at (x, y).
void shrinkInto(const RgbImage& source, RgbImage* target, int x, int y, int width, int height);

}  // namespace dusk::bench
