#pragma once

#include "BenchOptions.h"
#include "ContactSheet.h"
#include "RgbImage.h"

#include <memory>
#include <string>
#include <vector>

namespace dusk::bench {

// The pictures a run is asked for: frames by number, frames by pathTime and the contact sheet.
class CapturePlan {
public:
    CapturePlan(const Options& options, int frameWidth, int frameHeight);

    // True if the frame about to be shown is wanted, by number or by its pathTime.
    bool wants(int frame, float pathTime) const;
    // Writes the files the frame is wanted for and fills sheet tiles; false if a write failed.
    bool take(int frame, float pathTime, const RgbImage& picture);
    bool complete() const;
    // Writes the contact sheet and names what was asked for and never reached; false if
    // anything is missing or could not be written.
    bool finish();
    // The largest frame number asked for (0 if none).
    int lastFrameWanted() const;

    std::string outDir;
    std::vector<double> atTimes;  // sorted
    std::vector<int> atFrames;    // sorted
    size_t nextTime;
    size_t nextFrame;
    std::string sheetFile;
    std::unique_ptr<ContactSheet> sheet;
};

// "pathtime-0.050.png" and "frame-12.png".
std::string timePictureName(double pathTime);
std::string framePictureName(int frame);

}  // namespace dusk::bench
