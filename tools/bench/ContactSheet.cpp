#include "ContactSheet.h"

#include "PixelFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace dusk::bench {

namespace {

constexpr int gap = 4;
constexpr double introStart = -0.1;
constexpr double introEnd = 1.6;

}  // namespace

void shrinkInto(const RgbImage& source, RgbImage* target, int x, int y, int width, int height) {
    for (int ty = 0; ty < height; ++ty) {
        int sy0 = ty * source.height / height;
        int sy1 = std::max(sy0 + 1, (ty + 1) * source.height / height);
        for (int tx = 0; tx < width; ++tx) {
            int sx0 = tx * source.width / width;
            int sx1 = std::max(sx0 + 1, (tx + 1) * source.width / width);
            unsigned sum[3] = {0, 0, 0};
            for (int sy = sy0; sy < sy1; ++sy) {
                for (int sx = sx0; sx < sx1; ++sx) {
                    const std::uint8_t* pixel = source.at(sx, sy);
                    sum[0] += pixel[0];
                    sum[1] += pixel[1];
                    sum[2] += pixel[2];
                }
            }
            unsigned count = static_cast<unsigned>((sy1 - sy0) * (sx1 - sx0));
            std::uint8_t* out = target->at(x + tx, y + ty);
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>((sum[c] + count / 2) / count);
            }
        }
    }
}

ContactSheet::ContactSheet(int count, int frameWidth, int frameHeight) : next(0) {
    for (int i = 0; i < count; ++i) {
        times.push_back(introStart + (introEnd - introStart) * i / (count - 1));
    }
    columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    rows = (count + columns - 1) / columns;
    // Tiles of a quarter of the frame, or less, keep the sheet about as large as one frame.
    tileWidth = std::max(1, frameWidth / std::max(columns, 4));
    tileHeight = std::max(1, frameHeight * tileWidth / frameWidth);
    sheet =
        RgbImage(gap + columns * (tileWidth + gap), gap + rows * (tileHeight + gap), 24, 24, 28);
}

bool ContactSheet::wants(float pathTime) const {
    // Compared in float, the type of pathTime, so that a time of 1.6 is reached by the float 1.6.
    return !complete() && pathTime >= static_cast<float>(times[next]);
}

void ContactSheet::add(const RgbImage& frame, float pathTime) {
    int column = static_cast<int>(next) % columns;
    int row = static_cast<int>(next) / columns;
    int x = gap + column * (tileWidth + gap);
    int y = gap + row * (tileHeight + gap);
    shrinkInto(frame, &sheet, x, y, tileWidth, tileHeight);

    char label[32];
    std::snprintf(label, sizeof(label), "%.3f", static_cast<double>(pathTime));
    int scale = tileWidth >= 200 ? 2 : 1;
    int labelWidth = textWidth(label, scale);
    int labelHeight = glyphHeight * scale;
    sheet.fillRect(x, y + tileHeight - labelHeight - 2 * scale, labelWidth + 2 * scale,
                   labelHeight + 2 * scale, 0, 0, 0);
    drawText(&sheet, x + scale, y + tileHeight - labelHeight - scale, label, scale, 255, 255, 255);
    ++next;
}

}  // namespace dusk::bench
