#include "PictureCompare.h"

#include "BenchOptions.h"
#include "Pictures.h"

#include "assets/Texture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

namespace dusk::bench {

int comparePictures(const Options& options) {
    dusk::initializeImageLibrary();
    Magick::Image pictures[2];
    std::vector<unsigned char> rgb[2];
    for (int i = 0; i < 2; ++i) {
        try {
            pictures[i].read(options.pictures[i]);
        } catch (const Magick::Exception&) {
            std::cerr << "dusk_bench: could not read '" << options.pictures[i] << "'" << std::endl;
            return 1;
        }
        rgb[i].resize(3 * pictures[i].columns() * pictures[i].rows());
        pictures[i].write(0, 0, pictures[i].columns(), pictures[i].rows(), "RGB", Magick::CharPixel,
                          rgb[i].data());
    }
    if (pictures[0].size() != pictures[1].size()) {
        std::cerr << "dusk_bench: '" << options.pictures[0] << "' and '" << options.pictures[1]
                  << "' differ in size" << std::endl;
        return 1;
    }

    // The difference: grey four times the largest channel difference where it is within the
    // tolerance, red where it is not.
    std::vector<unsigned char> difference(rgb[0].size());
    size_t differing = 0;
    for (size_t i = 0; i < rgb[0].size(); i += 3) {
        int largest = 0;
        for (size_t c = i; c < i + 3; ++c) {
            largest = std::max(largest, std::abs(rgb[0][c] - rgb[1][c]));
        }
        const bool over = largest > options.tolerance;
        differing += over;
        const int grey = std::min(255, 4 * largest);
        difference[i] = static_cast<unsigned char>(over ? 255 : grey);
        difference[i + 1] = difference[i + 2] = static_cast<unsigned char>(over ? 0 : grey);
    }
    const double share = 100.0 * differing / std::max<size_t>(rgb[0].size() / 3, 1);
    const bool pass = share <= options.maxShare;
    std::printf("compare: %.3f %% of the pixels differ by more than %d levels (pass: at most "
                "%g %%): %s\n",
                share, options.tolerance, options.maxShare, pass ? "pass" : "fail");
    std::fflush(stdout);
    if (options.sheetFile.empty()) {
        return pass ? 0 : 1;
    }

    Magick::Image tiles[3] = {pictures[0], pictures[1],
                              Magick::Image(pictures[0].columns(), pictures[0].rows(), "RGB",
                                            Magick::CharPixel, difference.data())};
    // The file and its folder tell the two apart where both have the same name.
    auto shortName = [](const std::filesystem::path& path) {
        return (path.parent_path().filename() / path.filename()).string();
    };
    const std::string labels[3] = {"A: " + shortName(options.pictures[0]),
                                   "B: " + shortName(options.pictures[1]),
                                   "red: > " + std::to_string(options.tolerance) + " levels"};
    // Tiles of at most 960 pixels across keep a 4K pair's sheet readable on a screen.
    const size_t width = std::min<size_t>(pictures[0].columns(), 960);
    const Magick::Geometry tileSize(width, pictures[0].rows() * width / pictures[0].columns());
    for (int i = 0; i < 3; ++i) {
        tiles[i].resize(tileSize);
        tiles[i].label(labels[i]);
    }
    Magick::Montage layout;
    layout.tile(Magick::Geometry(3, 1));
    layout.geometry(Magick::Geometry(tileSize.width(), tileSize.height(), 4, 4));
    layout.font(labelFont);
    layout.pointSize(std::clamp<size_t>(tileSize.height() / 20, 10, 24));
    layout.fillColor(Magick::Color("rgb(235,235,235)"));
    layout.backgroundColor(Magick::Color("rgb(24,24,28)"));
    std::vector<Magick::Image> sheets;
    Magick::montageImages(&sheets, tiles, tiles + 3, layout);
    if (!writePng(sheets.front(), options.sheetFile)) {
        return 1;
    }
    std::cout << "sheet: " << options.sheetFile << std::endl;
    return pass ? 0 : 1;
}

}  // namespace dusk::bench
