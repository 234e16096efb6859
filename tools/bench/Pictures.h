#pragma once

// Magick++ takes assert.h into its own namespace unless it is already included.
#include <cassert>
#include <Magick++.h>

#include <array>
#include <string>

class Game;

namespace dusk::bench {

// The font of every label (Debian's fonts-dejavu-core): a fixed file, so that the same run
// gives the same bytes on every machine; DUSK_LABEL_FONT names it where it lies elsewhere (a
// bundle for a machine without the package).
extern const char* const labelFont;

// An upright picture from GL's rows, which start at the bottom.
Magick::Image uprightPicture(int width, int height, const char* map, const void* pixels);

// The colour buffer being drawn (the back buffer, before the swap) of a window of this size.
Magick::Image windowPicture(int width, int height);

// What the passes of the frame just drawn hand on, drawn after the frame from the Game's own
// textures by the overlay's views (dusk::PassViews), in this order: the shadow map, the camera
// depth, the scene target before the final pass and its alpha (the lens-flare sources). Each
// picture is written as NAME-<kind>.png.
constexpr int passTargetCount = 4;
extern const char* const passTargetKinds[passTargetCount];  // "shadow", "depth", ...

// Leaves the GL state as it found it, so the next frame starts from the same state as without
// the read-back.
std::array<Magick::Image, passTargetCount> readPassTargets(const Game& game);

// Writes a PNG with no time stamps or other varying chunks, so that the same picture always
// gives the same bytes. False, with one error line naming the path, on failure.
bool writePng(Magick::Image picture, const std::string& path);

// Writes `bytes` to `path`, making the folders on the way. False, with one error line naming the
// path, if anything of it could not be written.
bool writeOutputFile(const std::string& path, const std::string& bytes);

}  // namespace dusk::bench
