#include "ImageBuffer.h"

#include <Magick++.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

namespace dusk::assetgen {

ImageBuffer::ImageBuffer(int width, int height, const glm::vec4& fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

const glm::vec4& ImageBuffer::wrapped(int x, int y) const {
    x %= width_;
    y %= height_;
    if (x < 0) {
        x += width_;
    }
    if (y < 0) {
        y += height_;
    }
    return at(x, y);
}

ImageBuffer ImageBuffer::halved() const {
    ImageBuffer out(width_ / 2, height_ / 2);
    for (int y = 0; y < out.height_; ++y) {
        for (int x = 0; x < out.width_; ++x) {
            out.at(x, y) = 0.25f * (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) +
                                    at(2 * x + 1, 2 * y + 1));
        }
    }
    return out;
}

namespace {

uint8_t toByte(float v) {
    float c = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    return static_cast<uint8_t>(std::lround(c * 255.0f));
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool ImageBuffer::save(const std::string& path, std::string* error) const {
    std::vector<uint8_t> bytes(pixels_.size() * 4);
    for (size_t i = 0; i < pixels_.size(); ++i) {
        bytes[i * 4 + 0] = toByte(pixels_[i].r);
        bytes[i * 4 + 1] = toByte(pixels_[i].g);
        bytes[i * 4 + 2] = toByte(pixels_[i].b);
        bytes[i * 4 + 3] = toByte(pixels_[i].a);
    }
    try {
        Magick::Image image(width_, height_, "RGBA", Magick::CharPixel, bytes.data());
        image.depth(8);
        // Profiles, comments and the date chunks would make the bytes differ from run to run.
        image.strip();
        if (endsWith(path, ".jpg")) {
            image.matte(false);
            image.type(Magick::TrueColorType);
            image.quality(92);
            // Full-resolution chroma: normal maps keep their directions.
            image.defineValue("jpeg", "sampling-factor", "1x1");
        } else {
            image.type(Magick::TrueColorMatteType);
            image.defineValue("png", "exclude-chunk", "date,time");
            image.defineValue("png", "color-type", "6");
            // Stored without compression: the demo reads these at every start, and inflating
            // them takes longer than reading the larger file.
            image.defineValue("png", "compression-level", "0");
            image.defineValue("png", "compression-filter", "0");
        }
        image.write(path);
    } catch (const Magick::Exception& e) {
        if (error) {
            *error = e.what();
        }
        return false;
    }
    return true;
}

void forEachRow(int rows, const std::function<void(int)>& row) {
    const int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;
    for (int k = 0; k < workers; ++k) {
        threads.emplace_back([&, k] {
            for (int y = k; y < rows; y += workers) {
                row(y);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

ImageBuffer normalMapFromHeight(const std::vector<float>& height, int width, int rows,
                                float strength) {
    ImageBuffer out(width, rows);
    auto h = [&](int x, int y) {
        x = (x % width + width) % width;
        y = (y % rows + rows) % rows;
        return height[static_cast<size_t>(y) * width + x];
    };
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < width; ++x) {
            float dx = (h(x + 1, y) - h(x - 1, y)) * 0.5f * strength;
            // Rows run downward; the green axis points up the image.
            float dUp = (h(x, y - 1) - h(x, y + 1)) * 0.5f * strength;
            glm::vec3 n = glm::normalize(glm::vec3(-dx, -dUp, 1.0f));
            out.at(x, y) = glm::vec4(n * 0.5f + 0.5f, 1.0f);
        }
    }
    return out;
}

}  // namespace dusk::assetgen
