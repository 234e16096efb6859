#pragma once

#include "render/GL.h"

// Magick++ takes assert.h into its own namespace unless it is already included.
#include <cassert>
#include <Magick++.h>

#include <string>

// One image file as a mipmapped RGBA 2D texture. Users bind `name` to `target` themselves.
class Texture {
public:
    explicit Texture(const std::string& path);
    ~Texture();  // deletes the GL texture it owns
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Reads the file and uploads it; false (with a message) when the image library fails.
    bool load();

    std::string path;
    GLenum target;  // always GL_TEXTURE_2D
    GLuint name;    // texture object, 0 until a load succeeded
    Magick::Image image;
    Magick::Blob pixels;  // raw RGBA, top row first
};

namespace dusk {

// Sets the image library up once, with resource limits that refuse absurd images before any
// pixel memory is taken.
void initializeImageLibrary();

}  // namespace dusk
