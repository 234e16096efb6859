#pragma once

#include <ctime>
#include <string>

namespace dusk {

// The file name of a screenshot taken at `when` (local time) with the given counter:
// "dusklorne-20261207-153012-1.png".
std::string screenshotName(const std::tm& when, int counter);

// Saves what the window shows now, the bound window framebuffer's back buffer of
// `width` x `height`, upright, as a PNG in screenshots/ of the working directory (made when
// missing), under the first free name with a counter above `*counter`. Prints
// "screenshot saved: PATH", or "screenshot failed: PATH: REASON" and leaves no file.
void saveScreenshot(int width, int height, int* counter);

}  // namespace dusk
