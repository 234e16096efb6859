#include "FrameChart.h"

#include "BenchRecorder.h"
#include "PixelFont.h"
#include "RgbImage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace dusk::bench {

namespace {

constexpr int chartWidth = 1000;
constexpr int chartHeight = 440;
constexpr int left = 60;
constexpr int right = 16;
constexpr int top = 62;
constexpr int bottom = 34;
constexpr int partCount = 2 + renderStepCount;  // update, the steps, the rest

struct Colour {
    std::uint8_t r, g, b;
};

const Colour partColours[partCount] = {
    {140, 140, 150}, {70, 90, 160},  {200, 80, 60},   {230, 160, 40},  {80, 170, 90},
    {170, 90, 190},  {60, 170, 200}, {220, 120, 160}, {200, 200, 200},
};

std::string partName(int part) {
    if (part == 0) {
        return "update";
    }
    if (part <= renderStepCount) {
        return renderStepNames[part - 1];
    }
    return "swap and rest";
}

// 1, 2 or 5 times a power of ten, so that about five grid lines cover `range`.
double gridStep(double range) {
    double raw = range / 5.0;
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

std::string formatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), value < 10.0 && value != std::floor(value) ? "%.1f" : "%.0f",
                  value);
    return text;
}

}  // namespace

bool writeFrameChart(const BenchRecorder& recorder, const std::string& title,
                     const std::string& path) {
    RgbImage chart(chartWidth, chartHeight, 250, 250, 250);
    const int plotWidth = chartWidth - left - right;
    const int plotHeight = chartHeight - top - bottom;
    const size_t frames = recorder.records.size();
    if (frames == 0) {
        return false;
    }

    // Mean of each part per column; a column holds at least one frame.
    const int columns = static_cast<int>(std::min<size_t>(frames, plotWidth));
    std::vector<std::array<double, partCount>> means(columns);
    std::vector<double> totals(columns);
    for (int column = 0; column < columns; ++column) {
        size_t first = frames * column / columns;
        size_t last = std::max(first + 1, frames * (column + 1) / columns);
        std::array<double, partCount>& mean = means[column];
        mean.fill(0.0);
        for (size_t i = first; i < last; ++i) {
            const FrameRecord& record = recorder.records[i];
            double parts = record.update;
            mean[0] += record.update;
            for (int step = 0; step < renderStepCount; ++step) {
                mean[1 + step] += record.steps[step];
                parts += record.steps[step];
            }
            mean[partCount - 1] += std::max(0.0, record.whole - parts);
        }
        double total = 0.0;
        for (double& value : mean) {
            value = value * 1000.0 / static_cast<double>(last - first);
            total += value;
        }
        totals[column] = total;
    }
    // The scale fits all but the highest 2 % of the columns, so that the first frame (shader
    // variants compiled on first use) does not flatten the rest; taller columns are cut and
    // marked.
    std::vector<double> sorted = totals;
    std::sort(sorted.begin(), sorted.end());
    double highest = std::min(sorted.back(), 1.15 * sorted[(sorted.size() - 1) * 98 / 100]);
    if (highest <= 0.0) {
        highest = 1.0;
    }
    const double step = gridStep(highest);
    const double scaleTop = std::ceil(highest / step) * step;

    // Grid and millisecond scale.
    for (double value = 0.0; value <= scaleTop + step / 2; value += step) {
        int y = top + plotHeight - static_cast<int>(std::lround(value / scaleTop * plotHeight));
        chart.fillRect(left, y, plotWidth, 1, 215, 215, 215);
        std::string label = formatNumber(value);
        drawText(&chart, left - 8 - textWidth(label, 2), y - glyphHeight, label, 2, 60, 60, 60);
    }

    // Columns, stacked from the bottom in part order.
    for (int column = 0; column < columns; ++column) {
        int x = left + column * plotWidth / columns;
        int barWidth = std::max(1, left + (column + 1) * plotWidth / columns - x);
        double base = 0.0;
        for (int part = 0; part < partCount; ++part) {
            int y0 =
                static_cast<int>(std::lround(std::min(base, scaleTop) / scaleTop * plotHeight));
            base += means[column][part];
            int y1 =
                static_cast<int>(std::lround(std::min(base, scaleTop) / scaleTop * plotHeight));
            const Colour& colour = partColours[part];
            chart.fillRect(x, top + plotHeight - y1, barWidth, y1 - y0, colour.r, colour.g,
                           colour.b);
        }
        if (totals[column] > scaleTop) {
            chart.fillRect(x, top - 6, barWidth, 4, 20, 20, 20);
        }
    }

    // Axes, frame numbers, title and legend.
    chart.fillRect(left, top, 1, plotHeight + 1, 40, 40, 40);
    chart.fillRect(left, top + plotHeight, plotWidth, 1, 40, 40, 40);
    for (int tick = 0; tick <= 4; ++tick) {
        size_t index = std::min(frames - 1, (frames - 1) * tick / 4);
        int x = left + static_cast<int>(plotWidth * tick / 4);
        chart.fillRect(x, top + plotHeight, 1, 5, 40, 40, 40);
        std::string label = std::to_string(recorder.records[index].frame);
        int width = textWidth(label, 2);
        drawText(&chart, std::min(std::max(x - width / 2, 0), chartWidth - width),
                 top + plotHeight + 9, label, 2, 60, 60, 60);
    }
    drawText(&chart, left, 8, title, 2, 20, 20, 20);
    drawText(&chart, chartWidth - right - textWidth("MS / FRAME", 2), 8, "MS / FRAME", 2, 20, 20,
             20);
    int x = left;
    for (int part = 0; part < partCount; ++part) {
        const Colour& colour = partColours[part];
        chart.fillRect(x, 32, 10, 10, colour.r, colour.g, colour.b);
        x += 14;
        x += drawText(&chart, x, 32, partName(part), 2, 40, 40, 40) + 18;
    }
    return writePng(chart, path);
}

}  // namespace dusk::bench
