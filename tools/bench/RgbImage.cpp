#include "RgbImage.h"

#include "assets/Texture.h"
#include "render/GL.h"

#include <Magick++.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace dusk::bench {

RgbImage::RgbImage(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
    : width(width), height(height), pixels(3 * static_cast<size_t>(width) * height) {
    fillRect(0, 0, width, height, red, green, blue);
}

void RgbImage::fillRect(int x, int y, int w, int h, std::uint8_t red, std::uint8_t green,
                        std::uint8_t blue) {
    int x0 = std::max(x, 0);
    int y0 = std::max(y, 0);
    int x1 = std::min(x + w, width);
    int y1 = std::min(y + h, height);
    for (int row = y0; row < y1; ++row) {
        for (int column = x0; column < x1; ++column) {
            std::uint8_t* pixel = at(column, row);
            pixel[0] = red;
            pixel[1] = green;
            pixel[2] = blue;
        }
    }
}

void readDrawBuffer(int width, int height, std::vector<std::uint8_t>* scratch, RgbImage* image) {
    scratch->resize(4 * static_cast<size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, scratch->data());
    image->width = width;
    image->height = height;
    image->pixels.resize(3 * static_cast<size_t>(width) * height);
    // GL's first row is the bottom one; the window's alpha says nothing about the picture.
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* source =
            scratch->data() + 4 * static_cast<size_t>(height - 1 - y) * width;
        std::uint8_t* target = image->at(0, y);
        for (int x = 0; x < width; ++x) {
            target[3 * x + 0] = source[4 * x + 0];
            target[3 * x + 1] = source[4 * x + 1];
            target[3 * x + 2] = source[4 * x + 2];
        }
    }
}

bool writePng(const RgbImage& image, const std::string& path) {
    dusk::initializeImageLibrary();
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(parent, ignored);
    }
    try {
        Magick::Image picture(static_cast<size_t>(image.width), static_cast<size_t>(image.height),
                              "RGB", Magick::CharPixel, image.pixels.data());
        picture.depth(8);
        picture.strip();
        // The PNG writer adds creation and modification times unless told not to.
        picture.defineValue("png", "exclude-chunks", "date,time");
        picture.magick("PNG");
        picture.write(path);
    } catch (const Magick::Exception& error) {
        std::cerr << "dusk_bench: could not write '" << path << "': " << error.what() << std::endl;
        return false;
    }
    return true;
}

}  // namespace dusk::bench
