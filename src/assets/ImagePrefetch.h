#pragma once

// Magick++ takes assert.h into its own namespace unless it is already included.
#include <cassert>
#include <Magick++.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dusk {

// One image file read into RGBA bytes, or why it could not be.
struct DecodedImage {
    Magick::Image image;
    Magick::Blob pixels;  // raw RGBA, 8 bits a channel, top row first
    std::string error;    // the image library's message; empty when decoded
};

// Reads an image file; never throws.
DecodedImage decodeImage(const std::string& path);

// Decodes a list of image files, in order, on a thread of its own, so that the decoding runs on
// a second core while start-up goes on with models, shaders and the GL uploads. While one
// exists, Texture::load takes a listed file's pixels from it (waiting when they are not ready
// yet) and reads any other file itself. The list is read once: a file changed after it was
// decoded keeps its decoded pixels.
class ImagePrefetch {
public:
    explicit ImagePrefetch(const std::vector<std::string>& paths);
    ~ImagePrefetch();  // waits for the file being decoded, skips the rest
    ImagePrefetch(const ImagePrefetch&) = delete;
    ImagePrefetch& operator=(const ImagePrefetch&) = delete;

    // The file's pixels (or its error), once decoded; false when the file is not on the list.
    bool take(const std::string& path, DecodedImage* decoded);

    // The prefetch Texture::load asks; null when none exists. Set by the constructor.
    static ImagePrefetch* active;

private:
    void decodeAll();

    std::vector<std::string> paths_;
    std::vector<DecodedImage> images_;  // images_[i] is paths_[i] once i < decodedCount_
    size_t decodedCount_ = 0;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable decodedOne_;
    std::thread worker_;
};

}  // namespace dusk
