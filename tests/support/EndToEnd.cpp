#include "support/EndToEnd.h"

#include "support/BuildPaths.h"

#include "assets/Texture.h"

#include <Magick++.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <thread>

namespace fs = std::filesystem;

namespace dusk::test {

bool waitUntil(const std::function<bool()>& done, double seconds, const std::string& what) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    bool reached = done();
    while (!reached && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        reached = done();
    }
    if (!reached) {
        std::cout << "waited " << seconds << " s in vain for " << what << std::endl;
    }
    return reached;
}

std::string outputOf(const std::string& command) {
    std::string result;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t count; (count = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
            result.append(buffer, count);
        }
        pclose(pipe);
    }
    return result;
}

Picture readPicture(const std::string& path) {
    Picture picture;
    dusk::initializeImageLibrary();
    try {
        Magick::Image image(path);
        picture = {static_cast<int>(image.columns()), static_cast<int>(image.rows()),
                   std::vector<unsigned char>(3 * image.columns() * image.rows())};
        image.write(0, 0, image.columns(), image.rows(), "RGB", Magick::CharPixel,
                    picture.rgb.data());
    } catch (const Magick::Exception&) {
        picture = Picture();
    }
    return picture;
}

void writePicture(const Picture& picture, const std::string& path) {
    dusk::initializeImageLibrary();
    Magick::Image(size_t(picture.width), size_t(picture.height), "RGB", Magick::CharPixel,
                  picture.rgb.data())
        .write(path);
}

double changedShare(const Picture& a, const Picture& b, int tolerance) {
    if (a.rgb.empty() || a.width != b.width || a.height != b.height) {
        return 1.0;
    }
    size_t changed = 0;
    for (size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        const unsigned char *p = &a.rgb[i], *q = &b.rgb[i];
        changed +=
            std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > tolerance;
    }
    return double(changed) / double(a.width * a.height);
}

bool showsAScene(const Picture& picture) {
    std::map<int, size_t> colours;
    size_t most = 0;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        most = std::max(
            most, ++colours[picture.rgb[i] << 16 | picture.rgb[i + 1] << 8 | picture.rgb[i + 2]]);
    }
    return most > 0 && most < picture.rgb.size() / 6;  // under half the pixels
}

RunDirectory::RunDirectory(const std::string& name, const std::string& config)
    : path_(freshFolder(name)) {
    const std::string run = dusk::test::built::runDir();
    for (const char* data : {"Dusklorne/Shader", "Model/Object", "Model/Image"}) {
        fs::create_directories(fs::path(file(data)).parent_path());
        // Copies where links cannot be made (wine).
        std::error_code noLink;
        fs::create_directory_symlink(run + "/" + data, file(data), noLink);
        if (noLink) {
            fs::copy(run + "/" + data, file(data), fs::copy_options::recursive);
        }
    }
    writeFile(file("config.txt"), config);
}

}  // namespace dusk::test
