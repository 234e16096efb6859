#pragma once

namespace dusk::bench {

struct Options;

// `compare A B`: the share of pixels where any channel differs by more than the tolerance, one
// line with pass or fail, and a side-by-side sheet (A | B | difference) if asked. Returns 0 on a
// pass, 1 on a fail or when a picture cannot be read or the sheet written.
int comparePictures(const Options& options);

}  // namespace dusk::bench
