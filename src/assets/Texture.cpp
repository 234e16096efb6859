#include "assets/Texture.h"

#include "assets/ImagePrefetch.h"
#include "render/GlDebug.h"
#include "render/LoadTimers.h"

#include <iostream>

namespace dusk {

void initializeImageLibrary() {
    static bool initialized = false;
    if (initialized) {
        return;
    }
    initialized = true;
    Magick::InitializeMagick(nullptr);
    // 16384 a side and 64 megapixels cover any texture a GL 3.3 driver takes.
    Magick::ResourceLimits::width(16384);
    Magick::ResourceLimits::height(16384);
    Magick::ResourceLimits::area(64ull * 1024 * 1024);
    Magick::ResourceLimits::memory(1024ull * 1024 * 1024);
    Magick::ResourceLimits::disk(0);
}

}  // namespace dusk

Texture::Texture(const std::string& path) : path(path), target(GL_TEXTURE_2D), name(0) {}

Texture::~Texture() {
    if (name != 0) {
        glDeleteTextures(1, &name);
    }
}

bool Texture::load() {
    dusk::ScopedLoadTimer timer(dusk::loadTimers.textureSeconds);
    dusk::initializeImageLibrary();
    dusk::DecodedImage decoded;
    if (dusk::ImagePrefetch::active == nullptr ||
        !dusk::ImagePrefetch::active->take(path, &decoded)) {
        decoded = dusk::decodeImage(path);
    }
    if (!decoded.error.empty()) {
        std::cout << "Error loading texture '" << path << "': " << decoded.error << std::endl;
        return false;
    }
    image = decoded.image;
    pixels = decoded.pixels;

    glGenTextures(1, &name);
    glBindTexture(target, name);
    // Rows are four bytes per pixel, so the default unpack alignment of 4 always fits.
    glTexImage2D(target, 0, GL_RGBA, static_cast<GLsizei>(image.columns()),
                 static_cast<GLsizei>(image.rows()), 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameterf(target, GL_TEXTURE_MIN_FILTER, 9987.0f);
    glTexParameterf(target, GL_TEXTURE_MAG_FILTER, 9729.0f);
    dusk::labelGlObject(GL_TEXTURE, name, path);
    glBindTexture(target, 0);
    return true;
}
