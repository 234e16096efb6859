#include "FrameChart.h"

#include "BenchRecorder.h"
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <vector>

namespace dusk::bench {

namespace {

constexpr int chartWidth = 1000;
constexpr int chartHeight = 512;
// The plot's box.
constexpr int left = 70;
constexpr int right = 770;
constexpr int top = 70;
constexpr int bottom = 448;
constexpr int partCount = 2 + renderStepCount;  // update, the steps, the rest

const char* const partNames[partCount] = {"update",         "frame start", "1 shadow",
                                          "2 camera depth", "3 scene",     "4 particles",
                                          "5 final",        "settings",    "swap and rest"};
const char* const partColours[partCount] = {"#8c8c96", "#465aa0", "#c8503c", "#e6a028", "#50aa5a",
                                            "#aa5abe", "#3caac8", "#dc78a0", "#c8c8c8"};

// 1, 2 or 5 times a power of ten, so that about `lines` grid lines cover `range`.
double gridStep(double range, double lines) {
    const double power = std::pow(10.0, std::floor(std::log10(range / lines)));
    const double factor = range / lines / power;  // 1 to 10
    return power * (factor <= 1.0 ? 1.0 : factor <= 2.0 ? 2.0 : factor <= 5.0 ? 5.0 : 10.0);
}

// The value of a grid line, with as many decimals as the step needs; never "-0".
std::string number(double value, double step) {
    value = std::round(value / step) * step + 0.0;
    char text[32];
    std::snprintf(text, sizeof(text), "%.*f", step < 1.0 ? (step < 0.1 ? 2 : 1) : 0, value);
    return text;
}

// Part `part` of a frame in milliseconds: the update, a render step, or the rest of the frame.
double partOf(const FrameRecord& record, int part) {
    double steps = 0.0;
    for (double step : record.steps) {
        steps += step;
    }
    return 1000.0 * (part == 0 ? record.update
                     : part <= renderStepCount
                         ? record.steps[part - 1]
                         : std::max(0.0, record.whole - record.update - steps));
}

}  // namespace

bool writeFrameChart(const BenchRecorder& recorder, const std::string& title,
                     const std::string& path) {
    // A bench run has at least one frame.
    const std::vector<FrameRecord>& records = recorder.records;
    std::vector<double> totals;
    for (const FrameRecord& record : records) {
        totals.push_back(0.0);
        for (int part = 0; part < partCount; ++part) {
            totals.back() += partOf(record, part);
        }
    }
    // The scale fits all but the highest 2 % of the frames, so that the first frame (shader
    // variants compiled on first use) does not flatten the rest; taller frames are cut and
    // marked.
    std::vector<double> sorted = totals;
    std::sort(sorted.begin(), sorted.end());
    double highest = std::min(sorted.back(), 1.15 * sorted[(sorted.size() - 1) * 98 / 100]);
    const double msStep = gridStep(std::max(highest, 1e-3), 5.0);
    const double msTop = std::ceil(highest / msStep) * msStep;
    const double first = records.front().pathTime;
    const double span = std::max(1e-6, static_cast<double>(records.back().pathTime) - first);
    auto yOf = [&](double ms) { return bottom - std::min(ms, msTop) / msTop * (bottom - top); };
    auto xOf = [&](double pathTime) { return left + (pathTime - first) / span * (right - left); };

    Magick::Image chart(Magick::Geometry(chartWidth, chartHeight), Magick::Color("white"));
    chart.font(labelFont);
    chart.fontPointsize(17);
    Magick::DrawableList draw = {Magick::DrawableFont(labelFont),
                                 Magick::DrawableStrokeColor("none"),
                                 Magick::DrawablePointSize(17)};
    auto fill = [&](const char* colour) { draw.push_back(Magick::DrawableFillColor(colour)); };
    auto text = [&](double x, double y, const std::string& words, double alignment = 0.0) {
        Magick::TypeMetric metrics;
        chart.fontTypeMetrics(words, &metrics);
        draw.push_back(Magick::DrawableText(x - alignment * metrics.textWidth(), y, words));
    };

    // Grid and the millisecond scale.
    for (double ms = 0.0; ms <= msTop + msStep / 2; ms += msStep) {
        const double y = std::round(yOf(ms));
        fill("#dcdcdc");
        draw.push_back(Magick::DrawableRectangle(left, y, right, y + 1));
        fill("#3c3c3c");
        text(left - 8, y + 6, number(ms, msStep), 1.0);
    }
    // The parts stacked from the bottom in part order, each an area over pathTime, the cut
    // frames marked above the plot, and where the floor run ran the floor of the render steps
    // as a line on the same update.
    std::vector<double> base(records.size(), 0.0);
    for (int part = 0; part < partCount; ++part) {
        Magick::CoordinateList outline;
        for (size_t i = 0; i < records.size(); ++i) {
            outline.emplace_back(xOf(records[i].pathTime), yOf(base[i] + partOf(records[i], part)));
        }
        for (size_t i = records.size(); i-- > 0;) {
            outline.emplace_back(xOf(records[i].pathTime), yOf(base[i]));
            base[i] += partOf(records[i], part);
        }
        fill(partColours[part]);
        draw.push_back(Magick::DrawablePolygon(outline));
    }
    Magick::CoordinateList floorLine;
    fill("#141414");
    for (size_t i = 0; i < records.size(); ++i) {
        double x = xOf(records[i].pathTime);
        if (totals[i] > msTop) {
            draw.push_back(Magick::DrawableRectangle(x - 1, top - 7, x + 1, top - 4));
        }
        double floor = records[i].update;
        for (double step : records[i].floorSteps) {
            floor += step;
        }
        floorLine.emplace_back(x, yOf(1000.0 * floor));
    }
    if (recorder.withFloor) {
        draw.insert(draw.end(),
                    {Magick::DrawableFillColor("none"), Magick::DrawableStrokeColor("black"),
                     Magick::DrawableStrokeWidth(2), Magick::DrawablePolyline(floorLine),
                     Magick::DrawableStrokeColor("none")});
    }
    // Axes, pathTime scale, titles.
    fill("#282828");
    draw.push_back(Magick::DrawableRectangle(left - 1, top, left, bottom));
    draw.push_back(Magick::DrawableRectangle(left, bottom, right, bottom + 1));
    const double timeStep = gridStep(span, 10.0);
    for (double time = std::ceil(first / timeStep) * timeStep; time <= first + span + 1e-9;
         time += timeStep) {
        draw.push_back(Magick::DrawableRectangle(xOf(time), bottom, xOf(time) + 1, bottom + 6));
        text(xOf(time), bottom + 25, number(time, timeStep), 0.5);
    }
    text((left + right) / 2.0, bottom + 52, "pathTime", 0.5);
    text(left - 62, top - 18, "frame time (ms)");
    draw.push_back(Magick::DrawablePointSize(19));
    text(left - 62, 28, title);
    draw.push_back(Magick::DrawablePointSize(17));
    // The legend, top of the stack first.
    int y = top;
    for (int part = partCount - 1; part >= 0; --part, y += 28) {
        fill(partColours[part]);
        draw.push_back(Magick::DrawableRectangle(right + 24, y, right + 40, y + 16));
        fill("#282828");
        text(right + 48, y + 15, partNames[part]);
    }
    if (recorder.withFloor) {
        draw.push_back(Magick::DrawableRectangle(right + 24, y + 7, right + 40, y + 9));
        text(right + 48, y + 15, "floor of the");
        text(right + 48, y + 35, "render steps");
    }
    try {
        chart.draw(draw);
    } catch (const Magick::Exception& error) {
        std::cerr << "dusk_bench: could not draw the chart '" << path << "': " << error.what()
                  << std::endl;
        return false;
    }
    return writePng(chart, path);
}

}  // namespace dusk::bench
