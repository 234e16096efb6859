#include "Textures.h"

#include "Noise.h"
#include "Props.h"

#include <algorithm>
#include <cmath>

namespace dusk::assetgen {

void packSpecular(ImageBuffer& normal, const ImageBuffer& specular) {
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            normal.at(x, y).b = specular.at(x, y).r;
        }
    }
}

namespace {

using glm::vec3;
using glm::vec4;

vec3 mix3(const vec3& a, const vec3& b, double t) {
    return a + (b - a) * static_cast<float>(t);
}

// The stored maps: half size, the specular strength in the normal map's blue.
SurfaceMaps stored(const SurfaceMaps& drawn) {
    SurfaceMaps maps{drawn.color.halved(), drawn.normal.halved(), drawn.specular.halved()};
    packSpecular(maps.normal, maps.specular);
    return maps;
}

const int drawnSize = 1024;

}  // namespace

SurfaceMaps makeStone() {
    const int size = drawnSize;
    const int courses = 8;
    const int courseHeight = size / courses;
    // Block joints of each course as cumulative positions from a random start.
    std::vector<std::vector<int>> joints(courses);
    std::vector<int> starts(courses);
    Rng rng(1111);
    for (int c = 0; c < courses; ++c) {
        starts[c] = static_cast<int>(rng.uniform() * size);
        std::vector<double> widths;
        double total = 0.0;
        while (total < size) {
            double w = rng.range(0.14, 0.3) * size;
            widths.push_back(w);
            total += w;
        }
        std::vector<int>& j = joints[c];
        j.push_back(0);
        double sum = 0.0;
        for (double w : widths) {
            sum += w * size / total;
            j.push_back(static_cast<int>(std::lround(sum)));
        }
        j.back() = size;
    }
    std::vector<float> height(static_cast<size_t>(size) * size);
    SurfaceMaps maps{ImageBuffer(size, size), ImageBuffer(size, size), ImageBuffer(size, size)};
    const double scale = 1.0 / size;
    for (int y = 0; y < size; ++y) {
        int course = y / courseHeight;
        int ly = y % courseHeight;
        const std::vector<int>& j = joints[course];
        for (int x = 0; x < size; ++x) {
            int xr = ((x - starts[course]) % size + size) % size;
            size_t k = 0;
            while (k + 2 < j.size() && j[k + 1] <= xr) {
                ++k;
            }
            int block = course * 16 + static_cast<int>(k);
            double dx = std::min(xr - j[k], j[k + 1] - xr);
            double dy = std::min(ly, courseHeight - ly);
            double u = x * scale, v = y * scale;
            double jitter = 2.5 * tileFbm(u * 16, v * 16, 16, 16, 3, 0.5, 21);
            double mortar = 5.0 + jitter;
            double edge = std::min(dx, dy) - mortar;
            double grain = tileFbm(u * 32, v * 32, 32, 32, 4, 0.55, 22);
            double broad = tileFbm(u * 4, v * 4, 4, 4, 4, 0.5, 23);
            uint32_t h = hash3(block, course, 5, 77);
            double tone = 0.82 + 0.3 * ((h & 255) / 255.0);
            double warm = ((h >> 8) & 255) / 255.0;
            double tiltX = (((h >> 16) & 255) / 255.0 - 0.5) * 0.0016;
            double tiltY = (((h >> 24) & 255) / 255.0 - 0.5) * 0.0016;
            double hgt;
            vec3 color;
            double shine;
            if (edge < 0.0) {
                hgt = 0.08 + 0.05 * grain;
                color = vec3(0.30f, 0.28f, 0.25f) * static_cast<float>(0.9 + 0.2 * grain);
                shine = 0.03;
            } else {
                double bevel = smoothstep(0.0, 16.0, edge);
                // Chipped corners: the bevel bites deeper where the noise is low.
                double chip = smoothstep(0.15, 0.45, grain * 0.5 + 0.5 + edge / 40.0);
                hgt = 0.3 + 0.55 * bevel * chip + 0.09 * grain +
                      tiltX * (xr - 0.5 * (j[k] + j[k + 1])) + tiltY * (ly - 0.5 * courseHeight);
                vec3 stone = mix3(vec3(0.50f, 0.49f, 0.47f), vec3(0.58f, 0.52f, 0.43f), warm);
                stone *= static_cast<float>(tone * (0.9 + 0.12 * grain + 0.1 * broad));
                // Weathering darkens the lower part of each block and the dirty patches.
                double stain = smoothstep(0.1, 0.7, broad + 0.3) * 0.18 +
                               (1.0 - ly / static_cast<double>(courseHeight)) * 0.05;
                color = stone * static_cast<float>(1.0 - stain);
                shine = 0.16 + 0.1 * grain + 0.08 * bevel;
            }
            height[static_cast<size_t>(y) * size + x] = static_cast<float>(hgt);
            maps.color.at(x, y) = vec4(color, 1.0f);
            maps.specular.at(x, y) = vec4(vec3(static_cast<float>(clamp01(shine))), 1.0f);
        }
    }
    maps.normal = normalMapFromHeight(height, size, size, size / 64.0f);
    return stored(maps);
}

namespace {

vec3 skyColor(const vec3& dIn) {
    vec3 d = glm::normalize(dIn);
    const vec3 sun = glm::normalize(vec3(1.0f, 1.0f, 1.0f));
    double e = d.y;
    double cosSun = glm::dot(d, sun);
    // Azimuth toward the sun: the warm side of the sky.
    glm::vec2 flat(d.x, d.z);
    double toward = glm::length(flat) > 1e-6
                        ? glm::dot(glm::normalize(flat), glm::normalize(glm::vec2(1.0f, 1.0f)))
                        : 0.0;
    double warmSide = 0.5 + 0.5 * toward;
    vec3 zenith(0.07f, 0.09f, 0.25f);
    vec3 high(0.24f, 0.22f, 0.46f);
    vec3 lowWarm(0.96f, 0.58f, 0.38f), lowCool(0.72f, 0.50f, 0.62f);
    vec3 horizon(0.86f, 0.76f, 0.70f);
    vec3 low = mix3(lowCool, lowWarm, warmSide);
    vec3 c;
    if (e <= 0.0) {
        c = horizon;
    } else {
        double h = std::pow(e, 0.6);
        c = mix3(horizon, low, smoothstep(0.0, 0.25, h));
        c = mix3(c, high, smoothstep(0.25, 0.65, h));
        c = mix3(c, zenith, smoothstep(0.6, 1.0, h));
    }
    // Sun: a broad warm glow, a tighter bright one and the disc.
    double s = std::max(0.0, cosSun);
    c += vec3(1.0f, 0.62f, 0.32f) * static_cast<float>(0.35 * std::pow(s, 8.0));
    c += vec3(1.0f, 0.8f, 0.55f) * static_cast<float>(0.6 * std::pow(s, 90.0));
    c = mix3(c, vec3(1.0f, 0.96f, 0.86f), smoothstep(0.9993, 0.9996, cosSun));
    // Clouds: a layer seen through the projection onto a plane above, thin near the horizon.
    if (e > 0.0) {
        double k = 1.0 / (e + 0.12);
        double px = d.x * k, pz = d.z * k;
        double n = fbm3(px * 1.3, pz * 3.2, 0.5, 5, 0.5, 51);
        double cover = smoothstep(0.52, 0.7, n) * smoothstep(0.02, 0.15, e) *
                       (1.0 - smoothstep(0.55, 0.85, e));
        double lit = 0.5 + 0.5 * std::max(0.0, toward);
        vec3 cloud = mix3(vec3(0.36f, 0.29f, 0.42f), vec3(1.0f, 0.62f, 0.40f),
                          lit * (0.4 + 0.6 * smoothstep(0.5, 0.9, n)));
        c = mix3(c, cloud, cover * 0.85);
    }
    return glm::clamp(c, vec3(0.0f), vec3(1.0f));
}

}  // namespace

ImageBuffer makeSky() {
    ImageBuffer img(SkyAtlas::width, SkyAtlas::height, vec4(0.0f, 0.0f, 0.0f, 1.0f));
    const double inner = SkyAtlas::inner;
    for (int f = 0; f < 6; ++f) {
        const SkyFace& face = skyFaces()[f];
        if (!face.drawn) {
            continue;
        }
        for (int py = 0; py < face.cellHeight(); ++py) {
            for (int px = 0; px < SkyAtlas::cell; ++px) {
                // The border continues the face's projection past its edge.
                double s = (px + 0.5 - SkyAtlas::border) / inner;
                double t = 1.0 - (py + 0.5 - SkyAtlas::border) / inner;
                vec3 d = face.centre + face.right * static_cast<float>(2.0 * s - 1.0) +
                         face.up * static_cast<float>(2.0 * t - 1.0);
                img.at(face.x + px, face.y + py) = vec4(skyColor(d), 1.0f);
            }
        }
    }
    return img;
}

ImageBuffer makeBallTexture(int size) {
    ImageBuffer img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double u = static_cast<double>(x) / size, v = static_cast<double>(y) / size;
            double n = tileFbm(u * 4, v * 4, 4, 4, 5, 0.55, 61);
            double swirl = 0.5 + 0.5 * std::sin(12.0 * u + 6.0 * n);
            vec3 c = mix3(vec3(0.55f, 0.25f, 0.05f), vec3(1.0f, 0.85f, 0.5f), swirl);
            img.at(x, y) = vec4(c, 1.0f);
        }
    }
    return img;
}

ImageBuffer makeNebula(int size) {
    ImageBuffer img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double px = (x + 0.5) / size * 2.0 - 1.0, py = (y + 0.5) / size * 2.0 - 1.0;
            double r = std::hypot(px, py);
            double n = fbm3(px * 2.2 + 7.0, py * 2.2 + 3.0, 1.7, 6, 0.55, 71);
            double m = fbm3(px * 1.3 + 1.0, py * 1.3 + 9.0, 4.1, 4, 0.5, 72);
            // A lumpy rim: the noise pushes the edge in and out, then it fades to 0 well inside
            // the square so that no billboard edge shows.
            double edge = r + 0.45 * (n - 0.5);
            double body = smoothstep(0.92, 0.15, edge);
            // Faint per sprite: the low cloud stacks hundreds of them into a mist.
            double alpha = body * body * (0.45 + 0.75 * n) * 0.17;
            alpha *= smoothstep(1.0, 0.85, r);
            vec3 pale(0.86f, 0.78f, 0.86f), rose(0.90f, 0.66f, 0.72f), teal(0.60f, 0.66f, 0.84f);
            vec3 c = mix3(mix3(rose, teal, smoothstep(0.35, 0.65, m)), pale, body * 0.5);
            img.at(x, y) = vec4(c, static_cast<float>(clamp01(alpha)));
        }
    }
    return img;
}

ImageBuffer makeGlow(int size) {
    ImageBuffer img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double px = (x + 0.5) / size * 2.0 - 1.0, py = (y + 0.5) / size * 2.0 - 1.0;
            double r = std::hypot(px, py);
            double core = smoothstep(0.2, 0.08, r);
            double halo = std::exp(-r * r * 7.0) * 0.9 + std::exp(-r * 3.5) * 0.25;
            double alpha = std::max(core, halo) * smoothstep(1.0, 0.75, r);
            vec3 c =
                mix3(vec3(1.0f, 0.72f, 0.36f), vec3(1.0f, 0.98f, 0.92f), smoothstep(0.45, 0.05, r));
            img.at(x, y) = vec4(c, static_cast<float>(clamp01(alpha)));
        }
    }
    return img;
}

ImageBuffer makeFireAtlas(int size) {
    ImageBuffer img(size, size);
    const int cell = size / 8;
    for (int frame = 0; frame < 64; ++frame) {
        int cx = (frame % 8) * cell, cy = (frame / 8) * cell;
        double age = frame / 63.0;
        double radius = frame == 0 ? 0.06 : 0.1 + 0.27 * (1.0 - std::exp(-frame / 7.0));
        double rise = 0.06 * age;
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                // The particle quad shows a cell's top row at its bottom edge: drawn upside
                // down here, the fire stands upright on screen with its smoke rising.
                double px = (x + 0.5) / cell - 0.5;
                double py = (y + 0.5) / cell - 0.5 - rise;
                double r = std::hypot(px, py);
                double n = fbm3(px * 7.0, py * 7.0, frame * 0.09, 5, 0.55, 81);
                double q = r / radius + 0.7 * (0.5 - n);
                double density = smoothstep(1.0, 0.55, q);
                double border =
                    smoothstep(0.5, 0.42, std::max(std::fabs(px), std::fabs(py + rise)));
                double heat =
                    clamp01((1.15 - 1.35 * age) * (1.1 - 0.7 * r / radius) + 0.35 * (n - 0.5));
                vec3 color;
                if (heat > 0.75) {
                    color = mix3(vec3(1.0f, 0.78f, 0.3f), vec3(1.0f, 0.97f, 0.8f),
                                 (heat - 0.75) / 0.25);
                } else if (heat > 0.4) {
                    color = mix3(vec3(0.9f, 0.32f, 0.06f), vec3(1.0f, 0.78f, 0.3f),
                                 (heat - 0.4) / 0.35);
                } else if (heat > 0.15) {
                    color = mix3(vec3(0.25f, 0.16f, 0.13f), vec3(0.9f, 0.32f, 0.06f),
                                 (heat - 0.15) / 0.25);
                } else {
                    color = mix3(vec3(0.12f, 0.11f, 0.11f), vec3(0.25f, 0.16f, 0.13f), heat / 0.15);
                }
                double fadeOut = 1.0 - smoothstep(0.55, 1.0, age);
                double alpha = density * fadeOut * border;
                if (frame == 0) {
                    alpha *= 0.2;
                }
                img.at(cx + x, cy + y) = vec4(color, static_cast<float>(clamp01(alpha)));
            }
        }
    }
    return img;
}

namespace {

const float defaultSpecular = 64.0f / 255.0f;

}  // namespace

ImageBuffer makeFlatNormal(int size) {
    return ImageBuffer(size, size, vec4(128.0f / 255.0f, 128.0f / 255.0f, defaultSpecular, 1.0f));
}

ImageBuffer makeDefaultSpecular(int size) {
    return ImageBuffer(size, size, vec4(vec3(defaultSpecular), 1.0f));
}

}  // namespace dusk::assetgen
