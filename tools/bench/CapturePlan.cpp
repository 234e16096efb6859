#include "CapturePlan.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace dusk::bench {

std::string timePictureName(double pathTime) {
    char name[64];
    std::snprintf(name, sizeof(name), "pathtime-%.3f.png", pathTime);
    return name;
}

std::string framePictureName(int frame) {
    return "frame-" + std::to_string(frame) + ".png";
}

CapturePlan::CapturePlan(const Options& options, int frameWidth, int frameHeight)
    : outDir(options.outDir), atTimes(options.atTimes), atFrames(options.atFrames), nextTime(0),
      nextFrame(0), sheetFile(options.sheetFile) {
    if (!sheetFile.empty()) {
        sheet = std::make_unique<ContactSheet>(options.sheetCount, frameWidth, frameHeight);
    }
    if (!outDir.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(outDir, ignored);
    }
}

bool CapturePlan::wants(int frame, float pathTime) const {
    return (nextFrame < atFrames.size() && atFrames[nextFrame] == frame) ||
           (nextTime < atTimes.size() && pathTime >= static_cast<float>(atTimes[nextTime])) ||
           (sheet != nullptr && sheet->wants(pathTime));
}

bool CapturePlan::take(int frame, float pathTime, const RgbImage& picture) {
    bool written = true;
    auto write = [&](const std::string& name) {
        std::string path = outDir + "/" + name;
        bool ok = writePng(picture, path);
        written = written && ok;
        std::cout << "capture: frame " << frame << ", pathTime " << pathTime << " -> " << path
                  << std::endl;
    };
    while (nextFrame < atFrames.size() && atFrames[nextFrame] == frame) {
        write(framePictureName(frame));
        ++nextFrame;
    }
    while (nextTime < atTimes.size() && pathTime >= static_cast<float>(atTimes[nextTime])) {
        write(timePictureName(atTimes[nextTime]));
        ++nextTime;
    }
    while (sheet != nullptr && sheet->wants(pathTime)) {
        sheet->add(picture, pathTime);
    }
    return written;
}

bool CapturePlan::complete() const {
    return nextFrame >= atFrames.size() && nextTime >= atTimes.size() &&
           (sheet == nullptr || sheet->complete());
}

int CapturePlan::lastFrameWanted() const {
    return atFrames.empty() ? 0 : atFrames.back();
}

bool CapturePlan::finish() {
    bool ok = true;
    for (size_t i = nextFrame; i < atFrames.size(); ++i) {
        std::cerr << "dusk_bench: frame " << atFrames[i] << " was never reached" << std::endl;
        ok = false;
    }
    for (size_t i = nextTime; i < atTimes.size(); ++i) {
        std::cerr << "dusk_bench: pathTime " << atTimes[i] << " was never reached" << std::endl;
        ok = false;
    }
    if (sheet != nullptr) {
        if (!sheet->complete()) {
            std::cerr << "dusk_bench: the contact sheet has only " << sheet->next << " of "
                      << sheet->times.size() << " frames" << std::endl;
            ok = false;
        }
        if (writePng(sheet->sheet, sheetFile)) {
            std::cout << "contact sheet: " << sheet->next << " frames -> " << sheetFile
                      << std::endl;
        } else {
            ok = false;
        }
    }
    return ok;
}

}  // namespace dusk::bench
