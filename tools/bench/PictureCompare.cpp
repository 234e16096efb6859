#include "PictureCompare.h"

#include "BenchOptions.h"
#include "Pictures.h"

#include "assets/Texture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace dusk::bench {

int comparePictures(const Options& options) {
    dusk::initializeImageLibrary();
    Magick::Image pictures[3];
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

    std::vector<unsigned char> difference(rgb[0].size());
    size_t differing = 0;
    for (size_t i = 0; i < rgb[0].size(); i += 3) {
        int largest = 0;
        for (size_t c = i; c < i + 3; ++c) {
            largest = std::max(largest, std::abs(rgb[0][c] - rgb[1][c]));
        }
        const bool over = largest > channelTolerance;
        differing += over;
        const int grey = std::min(255, 4 * largest);
        difference[i] = static_cast<unsigned char>(over ? 255 : grey);
        difference[i + 1] = difference[i + 2] = static_cast<unsigned char>(over ? 0 : grey);
    }
    const double share = 100.0 * differing / std::max<size_t>(rgb[0].size() / 3, 1);
    const bool pass = share <= allowedPercent;
    std::printf("compare: %.3f %% of the pixels differ by more than %d levels (pass: at most "
                "%g %%): %s\n",
                share, channelTolerance, allowedPercent, pass ? "pass" : "fail");
    if (options.sheetFile.empty()) {
        return pass ? 0 : 1;
    }

    pictures[2] = Magick::Image(pictures[0].columns(), pictures[0].rows(), "RGB", Magick::CharPixel,
                                difference.data());
    Magick::Image sheet;
    Magick::appendImages(&sheet, pictures, pictures + 3);
    // At most 2880 pixels across keep a 4K pair's sheet readable on a screen.
    sheet.resize(Magick::Geometry(std::min<size_t>(sheet.columns(), 2880), sheet.rows()));
    if (!writePng(sheet, options.sheetFile)) {
        return 1;
    }
    std::cout << "sheet: " << options.sheetFile << std::endl;
    return pass ? 0 : 1;
}

}  // namespace dusk::bench
