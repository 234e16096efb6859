#include "BenchRecorder.h"

#include "Pictures.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <sstream>

namespace dusk::bench {

const char* const renderStepNames[renderStepCount] = {"begin",     "shadow", "depth",   "scene",
                                                      "particles", "final",  "settings"};

namespace {

constexpr double ms = 1000.0;  // milliseconds a second

// Min, median, 95th percentile and max of one figure over many frames. The median of an even
// count is the mean of the two middle values; the 95th percentile is the nearest-rank one (the
// smallest value that at least 95 % of the values do not exceed). No values give all zeros.
struct Summary {
    double min = 0.0;
    double median = 0.0;
    double p95 = 0.0;
    double max = 0.0;
};

Summary summarize(std::vector<double> values) {
    Summary summary;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n > 0) {
        // ceil(0.95 n) in integers: 0.95 has no exact double.
        const size_t rank = (95 * n + 99) / 100;
        summary = {values.front(), (values[(n - 1) / 2] + values[n / 2]) / 2.0,
                   values[std::max<size_t>(rank, 1) - 1], values.back()};
    }
    return summary;
}

// Writes one printf-formatted line.
template <typename... Values> void line(std::ostream& out, const char* format, Values... values) {
    char text[256];
    std::snprintf(text, sizeof(text), format, values...);
    out << text << "\n";
}

}  // namespace

BenchRecorder::BenchRecorder(int width, int height, double frameTime, bool withFloor,
                             bool allocationsCounted)
    : width(width), height(height), frameTime(frameTime), withFloor(withFloor),
      allocationsCounted(allocationsCounted) {}

std::vector<std::pair<std::string, double>>
BenchRecorder::figures(const FrameRecord& record) const {
    std::vector<std::pair<std::string, double>> figures = {
        {"frame", record.frame}, {"pathTime", record.pathTime}, {"update_ms", record.update * ms}};
    for (int step = 0; step < renderStepCount; ++step) {
        figures.emplace_back(std::string(renderStepNames[step]) + "_ms", record.steps[step] * ms);
    }
    figures.insert(figures.end(),
                   {{"frame_ms", record.whole * ms}, {"cpu_ms", record.submit * ms}});
    if (allocationsCounted) {
        figures.emplace_back("allocations", static_cast<double>(record.allocations));
    }
    for (int step = 0; withFloor && step < renderStepCount; ++step) {
        figures.emplace_back(std::string("floor_") + renderStepNames[step] + "_ms",
                             record.floorSteps[step] * ms);
    }
    return figures;
}

std::vector<double> BenchRecorder::column(const std::string& name, int firstFrame) const {
    std::vector<double> values;
    for (const FrameRecord& record : records) {
        for (const auto& [each, value] : figures(record)) {
            if (each == name && record.frame >= firstFrame) {
                values.push_back(value);
            }
        }
    }
    return values;
}

bool BenchRecorder::writeCsv(const std::string& path) const {
    std::ostringstream out;
    out << "# " << setup << "\n";
    for (const auto& [name, value] : figures(FrameRecord())) {
        out << (name == "frame" ? "" : ",") << name;
    }
    char number[64];
    for (const FrameRecord& record : records) {
        for (const auto& [name, value] : figures(record)) {
            // Nine significant digits give the float pathTime back exactly.
            const char* format = name == "pathTime"                      ? "%.9g"
                                 : name.find("_ms") != std::string::npos ? "%.4f"
                                                                         : "%.0f";
            std::snprintf(number, sizeof(number), format, value);
            out << (name == "frame" ? "\n" : ",") << number;
        }
    }
    out << "\n";
    return writeOutputFile(path, out.str());
}

void BenchRecorder::writeSummary(std::ostream& out, const std::string& renderer) const {
    const double firstTime = records.empty() ? 0.0 : records.front().pathTime;
    const double lastTime = records.empty() ? 0.0 : records.back().pathTime;
    line(out, "bench: %d x %d, %zu frames of %.6f s (pathTime %.4f to %.4f), renderer %s", width,
         height, records.size(), frameTime, firstTime, lastTime, renderer.c_str());
    out << setup << "\n";
    line(out, "  %-30s %9s %9s %9s %9s", "figure (ms)", "min", "median", "p95", "max");
    std::vector<std::pair<std::string, std::string>> rows = {{"update", "update_ms"}};
    for (const char* step : renderStepNames) {
        rows.emplace_back(step, std::string(step) + "_ms");
    }
    rows.insert(rows.end(), {{"frame", "frame_ms"}, {"cpu (update + render submit)", "cpu_ms"}});
    for (const auto& [label, name] : rows) {
        Summary figure = summarize(column(name));
        line(out, "  %-30s %9.3f %9.3f %9.3f %9.3f", label.c_str(), figure.min, figure.median,
             figure.p95, figure.max);
    }
    const double median = summarize(column("frame_ms")).median;
    line(out, "median frame: %.3f ms = %.1f FPS", median, median > 0.0 ? 1000.0 / median : 0.0);
    line(out,
         "start-up to first frame: %.3f s = shaders %.3f + models %.3f + textures %.3f + rest %.3f",
         startup.total, startup.shaders, startup.models, startup.textures, startup.rest());
    line(out, "peak resident memory: %.1f MiB", static_cast<double>(peakResidentKiB) / 1024.0);

    std::vector<double> allocations = column("allocations", warmUpFrames + 1);
    if (!allocationsCounted || allocations.empty()) {
        line(out, "heap allocations per frame: %s",
             allocationsCounted ? "not measured (the count starts after frame 100)"
                                : "not counted (the sanitizer build keeps its own operator new)");
    } else {
        line(out,
             "heap allocations per frame after frame %d: mean %.2f, max %.0f (%zu frames, "
             "operator new)",
             warmUpFrames,
             std::accumulate(allocations.begin(), allocations.end(), 0.0) / allocations.size(),
             summarize(allocations).max, allocations.size());
    }
    if (withFloor) {
        out << "floor: the same frames with constant-colour programs (medians, ms)\n";
        line(out, "  %-30s %9s %9s %9s", "pass", "real", "floor", "ratio");
        for (const char* step : renderStepNames) {
            double real = summarize(column(std::string(step) + "_ms")).median;
            double floor = summarize(column(std::string("floor_") + step + "_ms")).median;
            line(out, "  %-30s %9.3f %9.3f %9.2f", step, real, floor,
                 floor > 0.0 ? real / floor : 0.0);
        }
    }
    out << "GL errors: " << glErrors << std::endl;
}

}  // namespace dusk::bench
