#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dusk::bench {

// An 8-bit RGB picture, top row first, three bytes a pixel.
struct RgbImage {
    RgbImage() = default;
    RgbImage(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    std::uint8_t* at(int x, int y) { return &pixels[3 * (static_cast<size_t>(y) * width + x)]; }
    const std::uint8_t* at(int x, int y) const {
        return &pixels[3 * (static_cast<size_t>(y) * width + x)];
    }
    void fillRect(int x, int y, int w, int h, std::uint8_t red, std::uint8_t green,
                  std::uint8_t blue);

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The colour buffer being drawn (the back buffer, before the swap) of a window of this size.
// `scratch` keeps its room between calls.
void readDrawBuffer(int width, int height, std::vector<std::uint8_t>* scratch, RgbImage* image);

// Writes a PNG with no time stamps or other varying chunks, so that the same picture always
// gives the same bytes. False, with a message, on failure.
bool writePng(const RgbImage& image, const std::string& path);

}  // namespace dusk::bench
