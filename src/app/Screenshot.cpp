#include "app/Screenshot.h"

#include "app/Platform.h"
#include "render/GL.h"

#include <Magick++.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace dusk {

namespace {

const char* const folder = "screenshots";

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

ScreenshotWriter::~ScreenshotWriter() {
    if (worker.joinable()) {
        worker.join();
        reportFinished();
    }
}

void ScreenshotWriter::take(int width, int height) {
    if (worker.joinable()) {
        worker.join();
        reportFinished();
    }
    // A plain read: it waits for the frame to be drawn, as the swap would anyway, and the copy
    // itself takes under 2 ms at 1200 x 900 here; a pixel-pack buffer read a frame later saves
    // nothing on this renderer (README, "The overlay and screenshots").
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);

    const std::tm local = localTime(std::time(nullptr));
    std::string path;
    std::error_code error;
    do {
        path = std::string(folder) + "/" + screenshotName(local, ++counter);
    } while (std::filesystem::exists(path, error));
    worker = std::thread(&ScreenshotWriter::write, this, path, width, height);
}

void ScreenshotWriter::reportFinished() {
    if (finished.load(std::memory_order_acquire)) {
        if (worker.joinable()) {
            worker.join();
        }
        finished.store(false, std::memory_order_relaxed);
        std::cout << line << std::endl;
    }
}

void ScreenshotWriter::write(std::string path, int width, int height) {
    std::string reason;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder)) {
        reason = error ? error.message() : std::strerror(ENOTDIR);
    } else {
        Magick::Blob png;
        try {
            Magick::Image image(static_cast<size_t>(width), static_cast<size_t>(height), "RGB",
                                Magick::CharPixel, pixels.data());
            image.flip();  // GL's rows start at the bottom
            image.magick("PNG");
            image.depth(8);
            image.quality(10);  // zlib level 1 without row filters: quick to make
            image.write(&png);
        } catch (const Magick::Exception& failure) {
            reason = failure.what();
        }
        if (reason.empty()) {
            writeAll(path, png, &reason);
        }
    }
    line =
        reason.empty() ? "screenshot saved: " + path : "screenshot failed: " + path + ": " + reason;
    finished.store(true, std::memory_order_release);
}

}  // namespace dusk
