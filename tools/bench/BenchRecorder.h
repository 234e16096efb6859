#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace dusk::bench {

// The render steps of Game::render in order: the frame start, the five passes, the end-of-frame
// settings.
constexpr int renderStepCount = 7;
extern const char* const renderStepNames[renderStepCount];

// One frame's figures, in seconds.
struct FrameRecord {
    int frame = 0;
    float pathTime = 0.0f;
    double update = 0.0;
    std::array<double, renderStepCount> steps{};
    std::array<double, renderStepCount> floorSteps{};  // only with the floor run
    double whole = 0.0;   // the whole frame: key poll, clear, update, render, swap, events
    double submit = 0.0;  // update plus the time the render steps took to return, before
                          // their glFinish: the CPU side, as far as a software GL shows it
    std::uint64_t allocations = 0;
    bool timed = true;  // false while the GPU timer's figures of the frame are still out
};

// Start-up to the end of the first frame, split by kind of work.
struct StartupFigures {
    double total = 0.0;
    double shaders = 0.0;
    double models = 0.0;
    double textures = 0.0;
    double rest() const { return total - shaders - models - textures; }
};

// Collects every frame of a bench run and reports it.
class BenchRecorder {
public:
    BenchRecorder(int width, int height, double frameTime, bool withFloor, bool allocationsCounted);

    // The figure `column` of every frame from `firstFrame` on (columns as in the CSV).
    std::vector<double> column(const std::string& name, int firstFrame = 1) const;
    // min / median / p95 / max per figure, start-up, memory, allocations and floor ratios.
    void writeSummary(std::ostream& out, const std::string& renderer) const;
    // A comment line with the setup, then one line per frame, times in milliseconds. False,
    // with one error line, on failure.
    bool writeCsv(const std::string& path) const;
    // One frame's figures with the names of their CSV columns, in column order.
    std::vector<std::pair<std::string, double>> figures(const FrameRecord& record) const;

    int width;
    int height;
    double frameTime;
    bool withFloor;
    bool allocationsCounted;  // false in the sanitizer build, which keeps its own operator new
    std::vector<FrameRecord> records;
    StartupFigures startup;
    long peakResidentKiB = 0;
    int glErrors = 0;
    std::string setup;  // renderer (GL_VENDOR, GL_RENDERER, GL_VERSION), mode and timer
};

// Frames counted before the allocation figure starts: the first ones fill caches.
constexpr int warmUpFrames = 100;

}  // namespace dusk::bench
