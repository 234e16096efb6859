#include "Noise.h"
#include "Trees.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace dusk::assetgen {

namespace {

using glm::vec3;
using glm::vec4;
using Rect = TreeAtlas::Pixels;

const double kTwoPi = 6.283185307179586;

// Alpha-blends `color` over a pixel.
void over(vec4& dst, const vec3& color, float alpha) {
    float a = alpha + dst.a * (1.0f - alpha);
    if (a <= 0.0f) {
        return;
    }
    vec3 rgb = (color * alpha + vec3(dst) * dst.a * (1.0f - alpha)) / a;
    dst = vec4(rgb, a);
}

// Whether a pixel lies inside the sprite, two pixels clear of its edge: the clear border keeps
// the filtered neighbours of one sprite out of the next.
bool inside(const Rect& r, int x, int y) {
    return x >= r.x + 2 && y >= r.y + 2 && x < r.x + r.w - 2 && y < r.y + r.h - 2;
}

// Bark: vertical ridges and furrows, tiling every 256 columns and the full height.
vec4 barkAt(int x, int y, int rows) {
    double u = (x % 256) / 256.0, v = static_cast<double>(y) / rows;
    double ridge = 1.0 - std::fabs(tileFbm(u * 6, v * 6, 6, 6, 4, 0.5, 41));
    double knots = tileFbm(u * 3, v * 3, 3, 3, 3, 0.5, 42);
    double fibre = tileFbm(u * 24, v * 6, 24, 6, 2, 0.5, 43);
    vec3 c = vec3(0.30f, 0.23f, 0.17f) *
             static_cast<float>(0.45 + 0.7 * std::pow(ridge, 3.0) + 0.1 * fibre + 0.1 * knots);
    return vec4(c, 1.0f);
}

// One leaf: an ellipse pointed at its tip, with a darker midrib and a lighter tip.
void drawLeaf(ImageBuffer& img, const Rect& r, double cx, double cy, double angle, double length,
              const vec3& color) {
    double ca = std::cos(angle), sa = std::sin(angle);
    double halfL = 0.5 * length, halfW = 0.24 * length;
    int reach = static_cast<int>(halfL) + 2;
    for (int py = static_cast<int>(cy) - reach; py <= static_cast<int>(cy) + reach; ++py) {
        for (int px = static_cast<int>(cx) - reach; px <= static_cast<int>(cx) + reach; ++px) {
            if (!inside(r, px, py)) {
                continue;
            }
            double dx = px + 0.5 - cx, dy = py + 0.5 - cy;
            double along = dx * ca + dy * sa, across = -dx * sa + dy * ca;
            double taper = 1.0 - 0.45 * (along / halfL + 1.0) * 0.5;
            double e = std::sqrt((along / halfL) * (along / halfL) +
                                 (across / (halfW * taper)) * (across / (halfW * taper)));
            if (e >= 1.0) {
                continue;
            }
            double cover = clamp01((1.0 - e) * halfW * 0.8);
            double rib = std::fabs(across) < 1.0 ? 0.8 : 1.0;
            double light = 0.85 + 0.3 * (along / halfL * 0.5 + 0.5) - 0.25 * e * e;
            over(img.at(px, py), color * static_cast<float>(rib * light),
                 static_cast<float>(cover));
        }
    }
}

// A stroke from a to b, narrowing to 40 % of `width` at b.
void drawLine(ImageBuffer& img, const Rect& r, double ax, double ay, double bx, double by,
              double width, const vec3& color) {
    int minX = static_cast<int>(std::floor(std::min(ax, bx) - width)) - 1;
    int maxX = static_cast<int>(std::ceil(std::max(ax, bx) + width)) + 1;
    int minY = static_cast<int>(std::floor(std::min(ay, by) - width)) - 1;
    int maxY = static_cast<int>(std::ceil(std::max(ay, by) + width)) + 1;
    double lx = bx - ax, ly = by - ay;
    double len2 = std::max(1e-9, lx * lx + ly * ly);
    for (int py = minY; py <= maxY; ++py) {
        for (int px = minX; px <= maxX; ++px) {
            if (!inside(r, px, py)) {
                continue;
            }
            double qx = px + 0.5 - ax, qy = py + 0.5 - ay;
            double t = clamp01((qx * lx + qy * ly) / len2);
            double d = std::sqrt((qx - t * lx) * (qx - t * lx) + (qy - t * ly) * (qy - t * ly));
            double halfWidth = 0.5 * width * (1.0 - 0.6 * t);
            double cover = clamp01(halfWidth + 0.5 - d);
            if (cover > 0.0) {
                over(img.at(px, py), color, static_cast<float>(cover));
            }
        }
    }
}

// Gives transparent texels the average colour of the opaque ones, so that filtering does not
// darken the cut-out edges, and sets the foliage alpha.
void finishSprite(ImageBuffer& img, const Rect& r) {
    vec3 sum(0.0f);
    double count = 0.0;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            const vec4& p = img.at(x, y);
            sum += vec3(p) * p.a;
            count += p.a;
        }
    }
    vec3 average = count > 0.0 ? sum / static_cast<float>(count) : vec3(0.2f, 0.3f, 0.1f);
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            vec4& p = img.at(x, y);
            vec3 rgb = glm::mix(average, vec3(p), p.a);
            // Opaque foliage is stored as 0.9: the alpha test passes it, the lit shader reads
            // it as leaves.
            float a = p.a > 0.5f ? 0.9f : 0.0f;
            if (p.a > 0.35f && p.a <= 0.5f) {
                a = 0.9f * (p.a - 0.35f) / 0.15f;
            }
            p = vec4(rgb, a);
        }
    }
}

// A spray of leaves on twigs from the middle of the bottom edge: a few overlapping lobes, each
// full in the middle and ragged at its rim. Leaves drawn later lie on top and are lighter, the
// upper ones too: the spray shades itself.
void drawLeafSpray(ImageBuffer& img, const Rect& r, uint64_t seed, const vec3& dark,
                   const vec3& light) {
    Rng rng(seed);
    const double w = r.w, cx = r.x + 0.5 * w, cy = r.y + 0.5 * r.h;
    struct Lobe {
        double x, y, radius;
    };
    std::vector<Lobe> lobes = {{cx, cy - 0.04 * w, 0.26 * w}};
    double turn = rng.range(0.0, kTwoPi);
    for (int k = 0; k < 5; ++k) {
        double a = turn + kTwoPi * k / 5 + rng.range(-0.3, 0.3);
        double d = rng.range(0.22, 0.26) * w;
        lobes.push_back({cx + d * std::cos(a), cy + d * std::sin(a), rng.range(0.15, 0.18) * w});
    }
    const double baseX = cx, baseY = r.y + r.h - 6.0;
    const vec3 wood(0.2f, 0.15f, 0.1f);
    for (const Lobe& lobe : lobes) {
        drawLine(img, r, baseX, baseY, lobe.x, lobe.y, 7.0, wood);
    }
    double total = 0.0;
    for (const Lobe& lobe : lobes) {
        total += lobe.radius * lobe.radius;
    }
    const int leaves = 560;
    for (int i = 0; i < leaves; ++i) {
        double pick = rng.uniform() * total;
        size_t k = 0;
        while (k + 1 < lobes.size() && pick > lobes[k].radius * lobes[k].radius) {
            pick -= lobes[k].radius * lobes[k].radius;
            ++k;
        }
        double rad = lobes[k].radius * std::sqrt(rng.uniform()), a = rng.range(0.0, kTwoPi);
        double x = lobes[k].x + rad * std::cos(a), y = lobes[k].y + rad * std::sin(a);
        double angle = std::atan2(y - baseY, x - baseX) + rng.range(-0.9, 0.9);
        double height = (y - r.y) / r.h;
        double tone = 0.55 + 0.35 * i / leaves + 0.25 * (1.0 - height);
        vec3 color =
            glm::mix(dark, light, static_cast<float>(rng.uniform())) * static_cast<float>(tone);
        drawLeaf(img, r, x, y, angle, rng.range(24.0, 36.0), color);
    }
    finishSprite(img, r);
}

// A fir branch from the left edge to the tip at the right: pairs of sprigs leaning toward the
// tip, longest a third of the way out, needles on both sides of stem and sprigs, darker near
// the trunk and lighter at the tips.
void drawFirBranch(ImageBuffer& img, const Rect& r, uint64_t seed, const vec3& dark,
                   const vec3& light) {
    Rng rng(seed);
    const double x0 = r.x + 3.0, x1 = r.x + r.w - 14.0, y0 = r.y + 0.5 * r.h;
    auto stemAt = [&](double t) { return glm::dvec2(x0 + (x1 - x0) * t, y0 + 10.0 * t * t); };
    const vec3 wood(0.24f, 0.17f, 0.11f);
    auto needles = [&](glm::dvec2 a, glm::dvec2 b, double reach, double shade) {
        glm::dvec2 d = b - a;
        double length = glm::length(d), dir = std::atan2(d.y, d.x);
        int count = static_cast<int>(length / 2.2);
        for (int n = 0; n < count; ++n) {
            double t = (n + rng.uniform()) / count;
            glm::dvec2 p = a + d * t;
            for (double side : {1.0, -1.0}) {
                double angle = dir + side * rng.range(0.6, 0.95);
                double nl = reach * (1.0 - 0.45 * t) * rng.range(0.75, 1.0) + 3.0;
                float tone = static_cast<float>(shade * (0.8 + 0.35 * t));
                vec3 color = glm::mix(dark, light, static_cast<float>(rng.uniform())) * tone;
                drawLine(img, r, p.x, p.y, p.x + nl * std::cos(angle), p.y + nl * std::sin(angle),
                         3.0, color);
            }
        }
    };
    drawLine(img, r, x0, y0, x1, stemAt(1.0).y, 9.0, wood);
    const int sprigs = 21;
    for (int s = 0; s < sprigs; ++s) {
        double t = 0.03 + 0.92 * s / (sprigs - 1);
        glm::dvec2 base = stemAt(t);
        double envelope = std::pow(std::sin(3.14159 * std::min(1.0, t * 1.1 + 0.12)), 0.7);
        double length = 22.0 + (0.5 * r.h - 44.0) * envelope;
        for (double side : {1.0, -1.0}) {
            double angle = side * rng.range(0.7, 0.95);
            glm::dvec2 end = base + length * glm::dvec2(std::cos(angle), std::sin(angle));
            drawLine(img, r, base.x, base.y, end.x, end.y, 4.0, wood);
            needles(base, end, 17.0, 0.75 + 0.3 * t);
        }
    }
    needles(stemAt(0.0), stemAt(1.0), 20.0, 0.8);
    finishSprite(img, r);
}

}  // namespace

ImageBuffer makeTreeAtlas() {
    const int size = TreeAtlas::drawnSize;
    ImageBuffer img(size, size, vec4(0.0f));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (x < TreeAtlas::sunLeaves.x ||
                x >= TreeAtlas::firBranch.x + TreeAtlas::firBranch.w) {
                img.at(x, y) = barkAt(x, y, size);
            }
        }
    }
    drawLeafSpray(img, TreeAtlas::sunLeaves, 4444, vec3(0.17f, 0.30f, 0.07f),
                  vec3(0.42f, 0.50f, 0.13f));
    drawLeafSpray(img, TreeAtlas::shadeLeaves, 4445, vec3(0.08f, 0.17f, 0.06f),
                  vec3(0.22f, 0.33f, 0.10f));
    drawFirBranch(img, TreeAtlas::firBranch, 4446, vec3(0.04f, 0.13f, 0.07f),
                  vec3(0.12f, 0.27f, 0.12f));
    drawFirBranch(img, TreeAtlas::firYoung, 4447, vec3(0.06f, 0.17f, 0.08f),
                  vec3(0.18f, 0.35f, 0.14f));
    return img.halved();
}

}  // namespace dusk::assetgen
