#include "Pictures.h"

#include "assets/Texture.h"
#include "game/Game.h"
#include "render/RenderTarget.h"
#include "render/GL.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace dusk::bench {

const char* const labelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

Magick::Image uprightPicture(int width, int height, const char* map, const void* pixels) {
    dusk::initializeImageLibrary();
    Magick::Image picture(static_cast<size_t>(width), static_cast<size_t>(height), map,
                          Magick::CharPixel, pixels);
    picture.flip();
    return picture;
}

Magick::Image windowPicture(int width, int height) {
    std::vector<unsigned char> pixels(4 * static_cast<size_t>(width) * height);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The window's alpha says nothing about the picture.
    return uprightPicture(width, height, "RGBP", pixels.data());
}

const char* const passTargetKinds[passTargetCount] = {"shadow", "depth", "scene", "alpha"};

namespace {

// Level 0 of a texture in the given format, bottom row first.
template <typename Texel>
std::vector<Texel> texels(GLuint texture, GLenum format, GLenum type, size_t count) {
    std::vector<Texel> values(count);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, format, type, values.data());
    return values;
}

// Depth as grey, near dark and far light, stretched over the range the drawn texels take so
// that a scene filling a small part of the depth range still shows its shapes; texels nothing
// was drawn into get `background`. Values are `stride` floats apart, the flag of being drawn
// `flag` floats after each value.
Magick::Image depthPicture(const Game& game, const std::vector<float>& values, int stride, int flag,
                           bool (*drawn)(float), const unsigned char* background) {
    const size_t count = values.size() / stride;
    float nearest = 1e30f;
    float farthest = -1e30f;
    for (size_t i = 0; i < count; ++i) {
        if (drawn(values[i * stride + flag])) {
            nearest = std::min(nearest, values[i * stride]);
            farthest = std::max(farthest, values[i * stride]);
        }
    }
    const float range = std::max(farthest - nearest, 1e-6f);
    std::vector<unsigned char> rgb(3 * count);
    for (size_t i = 0; i < count; ++i) {
        const bool isDrawn = drawn(values[i * stride + flag]);
        const float grey = 255.0f * (values[i * stride] - nearest) / range;
        for (int c = 0; c < 3; ++c) {
            rgb[3 * i + c] = isDrawn ? static_cast<unsigned char>(grey + 0.5f) : background[c];
        }
    }
    return uprightPicture(game.width, game.height, "RGB", rgb.data());
}

}  // namespace

std::array<Magick::Image, passTargetCount> readPassTargets(const Game& game) {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    const size_t pixels = static_cast<size_t>(game.width) * game.height;
    // The shadow map's cleared depth 1 is as far as the sun sees: white.
    const unsigned char far[3] = {255, 255, 255};
    // The camera-depth pass clears to alpha 0.8 and draws alpha 1: the particles read texels
    // left clear as nothing behind them, marked blue here.
    const unsigned char clear[3] = {40, 90, 200};
    std::vector<float> shadow =
        texels<float>(game.shadowDepthTexture, GL_DEPTH_COMPONENT, GL_FLOAT, pixels);
    std::vector<float> depth = texels<float>(game.depthColorTexture, GL_RGBA, GL_FLOAT, 4 * pixels);
    std::vector<unsigned char> scene = texels<unsigned char>(game.sceneTarget->colorTexture,
                                                             GL_RGBA, GL_UNSIGNED_BYTE, 4 * pixels);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return {depthPicture(
                game, shadow, 1, 0, [](float d) { return d < 1.0f; }, far),
            depthPicture(
                game, depth, 4, 3, [](float a) { return a > 0.9f; }, clear),
            uprightPicture(game.width, game.height, "RGBP", scene.data()),
            uprightPicture(game.width, game.height, "PPPI", scene.data())};
}

bool writePng(Magick::Image picture, const std::string& path) {
    Magick::Blob png;
    try {
        picture.strip();
        // The PNG writer adds creation and modification times unless told not to.
        picture.defineValue("png", "exclude-chunks", "date,time");
        picture.depth(8);
        picture.magick("PNG");
        picture.write(&png);
    } catch (const Magick::Exception& error) {
        std::cerr << "dusk_bench: could not write '" << path << "': " << error.what() << std::endl;
        return false;
    }
    return writeOutputFile(path, std::string(static_cast<const char*>(png.data()), png.length()));
}

bool writeOutputFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    std::filesystem::create_directories(parent.empty() ? "." : parent, ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out) {
        std::cerr << "dusk_bench: could not write '" << path << "'" << std::endl;
        return false;
    }
    return true;
}

}  // namespace dusk::bench
