#include "app/Screenshot.h"

#include "render/GL.h"

#include <Magick++.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

namespace dusk {

namespace {

const char* const folder = "screenshots";

void fail(const std::string& path, const std::string& reason) {
    std::cout << "screenshot failed: " << path << ": " << reason << std::endl;
}

// The PNG bytes of the picture, rows from the top; empty with `reason` set on failure.
Magick::Blob encoded(int width, int height, const std::vector<unsigned char>& bottomUpRgb,
                     std::string* reason) {
    Magick::Blob png;
    try {
        Magick::Image image(static_cast<size_t>(width), static_cast<size_t>(height), "RGB",
                            Magick::CharPixel, bottomUpRgb.data());
        image.flip();  // GL's rows start at the bottom
        image.magick("PNG");
        image.depth(8);
        // zlib level 1 without row filters: a quick file, as the frame waits for it.
        image.quality(10);
        image.write(&png);
    } catch (const Magick::Exception& error) {
        *reason = error.what();
        return Magick::Blob();
    }
    return png;
}

// Writes the bytes; on failure removes what was written and returns the system's reason.
bool writeAll(const std::string& path, const Magick::Blob& bytes, std::string* reason) {
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) {
        *reason = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.length(), file) == bytes.length();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) {
        return true;
    }
    *reason = std::strerror(written ? errno : writeError);
    std::remove(path.c_str());
    return false;
}

}  // namespace

std::string screenshotName(const std::tm& when, int counter) {
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &when);
    return std::string("dusklorne-") + stamp + "-" + std::to_string(counter) + ".png";
}

void saveScreenshot(int width, int height, int* counter) {
    // A plain read: the frame is complete here, and on this renderer a pixel-pack buffer read
    // a frame later costs the same wait (see the README's figures).
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);

    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string path;
    std::error_code error;
    do {
        path = std::string(folder) + "/" + screenshotName(local, ++*counter);
    } while (std::filesystem::exists(path, error));

    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder)) {
        fail(path, error ? error.message() : std::strerror(ENOTDIR));
        return;
    }
    std::string reason;
    Magick::Blob png = encoded(width, height, pixels, &reason);
    if (png.length() == 0) {
        fail(path, reason);
        return;
    }
    if (!writeAll(path, png, &reason)) {
        fail(path, reason);
        return;
    }
    std::cout << "screenshot saved: " << path << std::endl;
}

}  // namespace dusk
