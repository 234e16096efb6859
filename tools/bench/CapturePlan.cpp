#include "CapturePlan.h"

#include "game/Game.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

namespace dusk::bench {

CapturePlan::CapturePlan(const Options& options, int frameWidth, int frameHeight)
    : options(options), nextTime(0), nextFrame(0) {
    for (int i = 0; !options.sheetFile.empty() && i < options.sheetCount; ++i) {
        tileTimes.push_back(-0.1 + 1.7 * i / (options.sheetCount - 1));
    }
    // Tiles of a quarter of the frame, or less, keep the sheet about as large as one frame.
    const int columns = static_cast<int>(std::ceil(std::sqrt(options.sheetCount)));
    const int width = std::max(1, frameWidth / std::max(columns, 4));
    tileSize = Magick::Geometry(width, std::max(1, frameHeight * width / frameWidth));
    tileSize.aspect(true);
}

bool CapturePlan::frameDue(int frame) const {
    return nextFrame < options.atFrames.size() && options.atFrames[nextFrame] == frame;
}

// Times are compared in float, the type of pathTime, so that a time of 1.6 is reached by the
// float 1.6.
bool CapturePlan::timeDue(float pathTime) const {
    return nextTime < options.atTimes.size() &&
           pathTime >= static_cast<float>(options.atTimes[nextTime]);
}

bool CapturePlan::tileDue(float pathTime) const {
    return tiles.size() < tileTimes.size() &&
           pathTime >= static_cast<float>(tileTimes[tiles.size()]);
}

bool CapturePlan::take(int frame, float pathTime, const Game& game) {
    if (!frameDue(frame) && !timeDue(pathTime) && !tileDue(pathTime)) {
        return true;
    }
    const Magick::Image picture = windowPicture(game.width, game.height);
    bool written = true;
    auto write = [&](const Magick::Image& image, const std::string& name) {
        std::string path = options.outDir + "/" + name + ".png";
        if (writePng(image, path)) {
            std::cout << "capture: frame " << frame << ", pathTime " << pathTime << " -> " << path
                      << std::endl;
        } else {
            written = false;
        }
    };
    auto writeAll = [&](const std::string& name) {
        write(picture, name);
        if (options.targets) {
            std::array<Magick::Image, passTargetCount> targets = readPassTargets(game);
            for (int kind = 0; kind < passTargetCount; ++kind) {
                write(targets[kind], name + "-" + passTargetKinds[kind]);
            }
        }
    };
    char name[64];
    for (; frameDue(frame); ++nextFrame) {
        writeAll("frame-" + std::to_string(frame));
    }
    for (; timeDue(pathTime); ++nextTime) {
        std::snprintf(name, sizeof(name), "pathtime-%.3f", options.atTimes[nextTime]);
        writeAll(name);
    }
    while (tileDue(pathTime)) {
        tiles.push_back(picture);
        tiles.back().resize(tileSize);
        std::snprintf(name, sizeof(name), "pathTime %.3f", static_cast<double>(pathTime));
        tiles.back().label(name);
    }
    return written;
}

bool CapturePlan::complete() const {
    return nextFrame >= options.atFrames.size() && nextTime >= options.atTimes.size() &&
           tiles.size() >= tileTimes.size();
}

bool CapturePlan::finish() {
    bool ok = complete();
    for (size_t i = nextFrame; i < options.atFrames.size(); ++i) {
        std::cerr << "dusk_bench: frame " << options.atFrames[i] << " was never reached\n";
    }
    for (size_t i = nextTime; i < options.atTimes.size(); ++i) {
        std::cerr << "dusk_bench: pathTime " << options.atTimes[i] << " was never reached\n";
    }
    if (tiles.size() < tileTimes.size()) {
        std::cerr << "dusk_bench: the contact sheet has only " << tiles.size() << " of "
                  << tileTimes.size() << " frames\n";
    }
    if (!tiles.empty()) {
        Magick::Montage layout;
        const size_t columns = static_cast<size_t>(std::ceil(std::sqrt(tileTimes.size())));
        layout.tile(Magick::Geometry(columns, (tileTimes.size() + columns - 1) / columns));
        layout.geometry(Magick::Geometry(tileSize.width(), tileSize.height(), 6, 4));
        layout.font(labelFont);
        // A ninth of a tile's height is a label a reader can take in at a glance.
        layout.pointSize(static_cast<size_t>(std::clamp<int>(tileSize.height() / 9, 10, 20)));
        layout.fillColor(Magick::Color("rgb(235,235,235)"));
        layout.backgroundColor(Magick::Color("rgb(24,24,28)"));
        std::vector<Magick::Image> sheets;
        Magick::montageImages(&sheets, tiles.begin(), tiles.end(), layout);
        if (writePng(sheets.front(), options.sheetFile)) {
            std::cout << "contact sheet: " << tiles.size() << " frames -> " << options.sheetFile
                      << std::endl;
        } else {
            ok = false;
        }
    }
    return ok;
}

}  // namespace dusk::bench
