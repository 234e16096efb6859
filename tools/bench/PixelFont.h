#pragma once

#include "RgbImage.h"

#include <cstdint>
#include <string>

namespace dusk::bench {

// A 3 x 5 pixel font of capitals, digits and a few signs, so that labels need no font files
// and come out the same on every machine. Lower case is drawn as capitals; unknown characters
// as blanks.
constexpr int glyphWidth = 3;
constexpr int glyphHeight = 5;

// Draws `text` with its top left corner at (x, y), each font pixel `scale` pixels wide, one
// font pixel between characters. Returns the width drawn.
int drawText(RgbImage* image, int x, int y, const std::string& text, int scale, std::uint8_t red,
             std::uint8_t green, std::uint8_t blue);

// The width `drawText` takes for `text`.
int textWidth(const std::string& text, int scale);

}  // namespace dusk::bench
