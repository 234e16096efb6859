#include "Pictures.h"

#include "assets/Texture.h"
#include "game/Game.h"
#include "render/RenderTarget.h"
#include "render/GL.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace dusk::bench {

const char* const labelFont = std::getenv("DUSK_LABEL_FONT") != nullptr
                                  ? std::getenv("DUSK_LABEL_FONT")
                                  : "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

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

// Depth as grey, near dark and far light: the square root of the depth stretched over the
// range the drawn texels take, so that a scene filling a small part of the range, and the near
// shapes in a deep view, still show; texels nothing was drawn into (NaN) get `background`.
Magick::Image depthPicture(const Game& game, const std::vector<float>& depths,
                           const unsigned char* background) {
    float nearest = INFINITY;
    float farthest = -INFINITY;
    for (float depth : depths) {
        nearest = std::fmin(nearest, depth);
        farthest = std::fmax(farthest, depth);
    }
    std::vector<unsigned char> rgb;
    for (float depth : depths) {
        const float grey =
            255.0f * std::sqrt((depth - nearest) / std::max(farthest - nearest, 1e-6f));
        for (int c = 0; c < 3; ++c) {
            rgb.push_back(std::isnan(depth) ? background[c]
                                            : static_cast<unsigned char>(grey + 0.5f));
        }
    }
    return uprightPicture(game.width, game.height, "RGB", rgb.data());
}

}  // namespace

std::array<Magick::Image, passTargetCount> readPassTargets(const Game& game) {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    const size_t pixels = static_cast<size_t>(game.width) * game.height;
    std::vector<float> shadow =
        texels<float>(game.shadowDepthTexture, GL_DEPTH_COMPONENT, GL_FLOAT, pixels);
    std::vector<float> depth = texels<float>(game.depthColorTexture, GL_RGBA, GL_FLOAT, 4 * pixels);
    std::vector<unsigned char> scene = texels<unsigned char>(game.sceneTarget->colorTexture,
                                                             GL_RGBA, GL_UNSIGNED_BYTE, 4 * pixels);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    // The shadow map's cleared depth 1 is as far as the sun sees: white. The camera-depth pass
    // clears to alpha 0.8 and draws alpha 1: the particles read texels left clear as nothing
    // behind them, marked blue here.
    for (size_t i = 0; i < pixels; ++i) {
        shadow[i] = shadow[i] < 1.0f ? shadow[i] : NAN;
        depth[i] = depth[4 * i + 3] > 0.9f ? depth[4 * i] : NAN;
    }
    depth.resize(pixels);
    const unsigned char white[3] = {255, 255, 255};
    const unsigned char blue[3] = {40, 90, 200};
    return {depthPicture(game, shadow, white), depthPicture(game, depth, blue),
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
