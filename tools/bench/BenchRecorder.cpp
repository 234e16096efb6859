#include "BenchRecorder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace dusk::bench {

const char* const renderStepNames[renderStepCount] = {"begin",     "shadow", "depth",   "scene",
                                                      "particles", "final",  "settings"};

namespace {

constexpr double millis = 1000.0;

// The figure named `name` of one record; times in milliseconds.
bool figureOf(const FrameRecord& record, const std::string& name, double* value) {
    if (name == "frame") {
        *value = record.frame;
    } else if (name == "pathTime") {
        *value = record.pathTime;
    } else if (name == "update_ms") {
        *value = record.update * millis;
    } else if (name == "frame_ms") {
        *value = record.whole * millis;
    } else if (name == "cpu_ms") {
        *value = record.submit * millis;
    } else if (name == "allocations") {
        *value = static_cast<double>(record.allocations);
    } else {
        for (int step = 0; step < renderStepCount; ++step) {
            if (name == std::string(renderStepNames[step]) + "_ms") {
                *value = record.steps[step] * millis;
                return true;
            }
            if (name == std::string("floor_") + renderStepNames[step] + "_ms") {
                *value = record.floorSteps[step] * millis;
                return true;
            }
        }
        return false;
    }
    return true;
}

void summaryLine(std::ostream& out, const std::string& label, const Summary& summary) {
    char line[160];
    std::snprintf(line, sizeof(line), "  %-30s %9.3f %9.3f %9.3f %9.3f", label.c_str(), summary.min,
                  summary.median, summary.p95, summary.max);
    out << line << "\n";
}

}  // namespace

BenchRecorder::BenchRecorder(int width, int height, double frameTime, bool withFloor)
    : width(width), height(height), frameTime(frameTime), withFloor(withFloor) {}

std::vector<std::string> BenchRecorder::columnNames() const {
    std::vector<std::string> names = {"frame", "pathTime", "update_ms"};
    for (const char* step : renderStepNames) {
        names.push_back(std::string(step) + "_ms");
    }
    names.insert(names.end(), {"frame_ms", "cpu_ms", "allocations"});
    if (withFloor) {
        for (const char* step : renderStepNames) {
            names.push_back(std::string("floor_") + step + "_ms");
        }
    }
    return names;
}

std::vector<double> BenchRecorder::column(const std::string& name, int firstFrame) const {
    std::vector<double> values;
    for (const FrameRecord& record : records) {
        double value = 0.0;
        if (record.frame >= firstFrame && figureOf(record, name, &value)) {
            values.push_back(value);
        }
    }
    return values;
}

bool BenchRecorder::writeCsv(const std::string& path) const {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(parent, ignored);
    }
    std::ofstream out(path, std::ios::trunc);
    if (!out) {
        return false;
    }
    std::vector<std::string> names = columnNames();
    for (size_t i = 0; i < names.size(); ++i) {
        out << (i > 0 ? "," : "") << names[i];
    }
    out << "\n";
    char number[64];
    for (const FrameRecord& record : records) {
        for (size_t i = 0; i < names.size(); ++i) {
            double value = 0.0;
            figureOf(record, names[i], &value);
            if (names[i] == "frame" || names[i] == "allocations") {
                std::snprintf(number, sizeof(number), "%.0f", value);
            } else if (names[i] == "pathTime") {
                // Nine significant digits give the float back exactly.
                std::snprintf(number, sizeof(number), "%.9g", value);
            } else {
                std::snprintf(number, sizeof(number), "%.4f", value);
            }
            out << (i > 0 ? "," : "") << number;
        }
        out << "\n";
    }
    return static_cast<bool>(out);
}

void BenchRecorder::writeSummary(std::ostream& out, const std::string& renderer) const {
    char line[256];
    float firstTime = records.empty() ? 0.0f : records.front().pathTime;
    float lastTime = records.empty() ? 0.0f : records.back().pathTime;
    std::snprintf(line, sizeof(line),
                  "bench: %d x %d, %zu frames of %.6f s (pathTime %.4f to %.4f), renderer %s",
                  width, height, records.size(), frameTime, static_cast<double>(firstTime),
                  static_cast<double>(lastTime), renderer.c_str());
    out << line << "\n";
    std::snprintf(line, sizeof(line), "  %-30s %9s %9s %9s %9s", "figure (ms)", "min", "median",
                  "p95", "max");
    out << line << "\n";
    summaryLine(out, "update", summarize(column("update_ms")));
    for (const char* step : renderStepNames) {
        summaryLine(out, step, summarize(column(std::string(step) + "_ms")));
    }
    Summary frame = summarize(column("frame_ms"));
    summaryLine(out, "frame", frame);
    summaryLine(out, "cpu (update + render submit)", summarize(column("cpu_ms")));

    std::snprintf(line, sizeof(line), "median frame: %.3f ms = %.1f FPS", frame.median,
                  frame.median > 0.0 ? 1000.0 / frame.median : 0.0);
    out << line << "\n";
    std::snprintf(line, sizeof(line),
                  "start-up to first frame: %.3f s = shaders %.3f + models %.3f + textures %.3f "
                  "+ rest %.3f",
                  startup.total, startup.shaders, startup.models, startup.textures, startup.rest());
    out << line << "\n";
    std::snprintf(line, sizeof(line), "peak resident memory: %.1f MiB",
                  static_cast<double>(peakResidentKiB) / 1024.0);
    out << line << "\n";

    std::vector<double> allocations = column("allocations", warmUpFrames + 1);
    if (allocations.empty()) {
        out << "heap allocations per frame: not measured (" << records.size()
            << " frames, the count starts after frame " << warmUpFrames << ")\n";
    } else {
        double total = 0.0;
        for (double count : allocations) {
            total += count;
        }
        Summary summary = summarize(allocations);
        std::snprintf(line, sizeof(line),
                      "heap allocations per frame after frame %d: mean %.2f, max %.0f (%zu "
                      "frames, operator new)",
                      warmUpFrames, total / static_cast<double>(allocations.size()), summary.max,
                      allocations.size());
        out << line << "\n";
    }

    if (withFloor) {
        out << "floor: the same frames with constant-colour programs (medians, ms)\n";
        std::snprintf(line, sizeof(line), "  %-30s %9s %9s %9s", "pass", "real", "floor", "ratio");
        out << line << "\n";
        for (const char* step : renderStepNames) {
            double real = summarize(column(std::string(step) + "_ms")).median;
            double floor = summarize(column(std::string("floor_") + step + "_ms")).median;
            std::snprintf(line, sizeof(line), "  %-30s %9.3f %9.3f %9.2f", step, real, floor,
                          floor > 0.0 ? real / floor : 0.0);
            out << line << "\n";
        }
    }
    out << "GL errors: " << glErrors << "\n";
    out << std::flush;
}

}  // namespace dusk::bench
