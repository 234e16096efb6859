#include "assets/Texture.h"

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
    try {
        image.read(path);
        // Depth 8 keeps the blob at four bytes a pixel even for 16-bit files.
        image.write(&pixels, "RGBA", 8);
        // A file that decodes to nothing, or to fewer pixels than its size, cannot be uploaded.
        if (image.columns() == 0 || image.rows() == 0 ||
            pixels.length() != image.columns() * image.rows() * 4) {
            throw Magick::ErrorCorruptImage("incomplete pixel data");
        }
    } catch (const Magick::Error& error) {
        std::cout << "Error loading texture '" << path << "': " << error.what() << std::endl;
        return false;
    } catch (const Magick::Warning& warning) {
        // A warning still gave an image, but the data may be partial; it is not trusted.
        std::cout << "Error loading texture '" << path << "': " << warning.what() << std::endl;
        return false;
    }

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
