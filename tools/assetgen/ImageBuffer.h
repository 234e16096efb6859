#pragma once

#include <glm/glm.hpp>

#include <functional>
#include <string>
#include <vector>

namespace dusk::assetgen {

// Linear RGBA pixels in [0, 1], row 0 at the top of the image as image files store it.
class ImageBuffer {
public:
    ImageBuffer(int width, int height, const glm::vec4& fill = glm::vec4(0.0f));
    int width() const { return width_; }
    int height() const { return height_; }
    glm::vec4& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const glm::vec4& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    // Coordinates wrap around, as the texture sampler does with GL_REPEAT.
    const glm::vec4& wrapped(int x, int y) const;
    // Half the width and height, each pixel the mean of the 2 x 2 it covers (as a mipmap level
    // is made): drawn at the size the shapes were designed for, stored at the size the scene
    // needs.
    ImageBuffer halved() const;

    // Writes the image; the file type follows the extension (.png keeps alpha, .jpg drops it).
    // No time stamps or other varying metadata go into the file. False on an image-library error.
    bool save(const std::string& path, std::string* error) const;

private:
    int width_;
    int height_;
    std::vector<glm::vec4> pixels_;
};

// Calls `row` once for every row from 0 to `rows` - 1, spread over the machine's cores; the rows
// must not depend on each other, and then the result is the same however they are spread.
void forEachRow(int rows, const std::function<void(int)>& row);

// A tangent-space normal map from a tiling height field (heights in [0, 1]): red along the
// image's right, green toward the image's top, blue out of the surface. `strength` is the height
// difference in pixels that a height step of 1 means.
ImageBuffer normalMapFromHeight(const std::vector<float>& height, int width, int rows,
                                float strength);

}  // namespace dusk::assetgen
