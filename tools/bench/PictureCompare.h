#pragma once

namespace dusk::bench {

struct Options;

// A GPU filters, compares shadows and rounds a little differently from Mesa's llvmpipe: a pixel
// differs when any channel is off by more than `channelTolerance` levels, and two pictures
// match when at most `allowedPercent` of their pixels differ.
constexpr int channelTolerance = 16;
constexpr double allowedPercent = 2.0;

// `compare A B`: the share of differing pixels, one line with pass or fail, and with --sheet a
// side-by-side sheet A | B | difference (grey four times the largest channel difference, red
// where it is above the tolerance). Returns 0 on a pass, 1 on a fail or when a picture cannot
// be read or the sheet written.
int comparePictures(const Options& options);

}  // namespace dusk::bench
