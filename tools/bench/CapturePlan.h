#pragma once

#include "BenchOptions.h"
#include "Pictures.h"

#include <string>
#include <vector>

class Game;

namespace dusk::bench {

// The pictures a run is asked for: frames by number, frames by pathTime (each with what the
// passes hand on, if asked), and the contact sheet: frames at pathTime values evenly spread
// over the whole intro, from -0.1 to 1.6, shrunk to tiles laid out in time order (left to
// right, then down), each labelled with the pathTime it shows.
class CapturePlan {
public:
    CapturePlan(const Options& options, int frameWidth, int frameHeight);

    // True if the frame about to be shown is wanted by number, by its pathTime or for a tile.
    bool frameDue(int frame) const;
    bool timeDue(float pathTime) const;
    bool tileDue(float pathTime) const;
    // Writes the files the frame in the window is wanted for, if any, and fills sheet tiles;
    // false if a write failed.
    bool take(int frame, float pathTime, const Game& game);
    bool complete() const;
    // Writes the contact sheet and names what was asked for and never reached; false if
    // anything is missing or could not be written.
    bool finish();

    const Options& options;  // the pictures asked for: atTimes and atFrames sorted
    size_t nextTime;
    size_t nextFrame;
    std::vector<double> tileTimes;  // the pathTime of each tile of the sheet
    std::vector<Magick::Image> tiles;
    Magick::Geometry tileSize;
};

}  // namespace dusk::bench
