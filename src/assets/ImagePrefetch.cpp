#include "assets/ImagePrefetch.h"

#include "assets/Texture.h"

namespace dusk {

ImagePrefetch* ImagePrefetch::active = nullptr;

DecodedImage decodeImage(const std::string& path) {
    DecodedImage decoded;
    try {
        decoded.image.read(path);
        // Depth 8 keeps the blob at four bytes a pixel even for 16-bit files.
        decoded.image.write(&decoded.pixels, "RGBA", 8);
        // A file that decodes to nothing, or to fewer pixels than its size, cannot be uploaded.
        const Magick::Image& image = decoded.image;
        if (image.columns() == 0 || image.rows() == 0 ||
            decoded.pixels.length() != image.columns() * image.rows() * 4) {
            decoded.error = "incomplete pixel data";
        }
    } catch (const Magick::Error& error) {
        decoded.error = error.what();
    } catch (const Magick::Warning& warning) {
        // A warning still gave an image, but the data may be partial; it is not trusted.
        decoded.error = warning.what();
    }
    return decoded;
}

ImagePrefetch::ImagePrefetch(const std::vector<std::string>& paths)
    : paths_(paths), images_(paths.size()) {
    // The library is set up on this thread before any other uses it.
    initializeImageLibrary();
    active = this;
    worker_ = std::thread([this] { decodeAll(); });
}

ImagePrefetch::~ImagePrefetch() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    worker_.join();
    if (active == this) {
        active = nullptr;
    }
}

void ImagePrefetch::decodeAll() {
    for (size_t i = 0; i < paths_.size(); ++i) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) {
                return;
            }
        }
        // Only this thread writes images_[i] before decodedCount_ passes i.
        DecodedImage decoded = decodeImage(paths_[i]);
        std::lock_guard<std::mutex> lock(mutex_);
        images_[i] = std::move(decoded);
        decodedCount_ = i + 1;
        decodedOne_.notify_all();
    }
}

bool ImagePrefetch::take(const std::string& path, DecodedImage* decoded) {
    for (size_t i = 0; i < paths_.size(); ++i) {
        if (paths_[i] == path) {
            std::unique_lock<std::mutex> lock(mutex_);
            decodedOne_.wait(lock, [&] { return decodedCount_ > i; });
            // Copies share the pixels: a file listed once serves every texture made from it.
            *decoded = images_[i];
            return true;
        }
    }
    return false;
}

}  // namespace dusk
