#include "Noise.h"

#include <cmath>

namespace dusk::assetgen {

uint32_t Rng::next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

double Rng::uniform() {
    return next() / 4294967296.0;
}

uint32_t hash3(int32_t x, int32_t y, int32_t z, uint32_t seed) {
    uint32_t h = seed * 0x27D4EB2Du;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h = (h << 11) | (h >> 21);
    h ^= static_cast<uint32_t>(z) * 0x165667B1u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

namespace {

int wrap(int i, int period) {
    int r = i % period;
    return r < 0 ? r + period : r;
}

double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

struct Directions {
    double x[16], y[16];
    Directions() {
        for (int i = 0; i < 16; ++i) {
            // Offset by half a step so that no direction lies on an axis.
            double angle = (i + 0.5) * (6.283185307179586 / 16.0);
            x[i] = std::cos(angle);
            y[i] = std::sin(angle);
        }
    }
};

const Directions directions;

// One of 16 unit directions, picked by the lattice point's hash.
double gradientDot(uint32_t h, double dx, double dy) {
    return directions.x[h & 15u] * dx + directions.y[h & 15u] * dy;
}

}  // namespace

double tileNoise(double x, double y, int periodX, int periodY, uint32_t seed) {
    double fx = std::floor(x);
    double fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    double dx = x - fx;
    double dy = y - fy;
    int x0 = wrap(ix, periodX), x1 = wrap(ix + 1, periodX);
    int y0 = wrap(iy, periodY), y1 = wrap(iy + 1, periodY);
    double n00 = gradientDot(hash3(x0, y0, 0, seed), dx, dy);
    double n10 = gradientDot(hash3(x1, y0, 0, seed), dx - 1.0, dy);
    double n01 = gradientDot(hash3(x0, y1, 0, seed), dx, dy - 1.0);
    double n11 = gradientDot(hash3(x1, y1, 0, seed), dx - 1.0, dy - 1.0);
    double u = fade(dx);
    double v = fade(dy);
    double a = n00 + (n10 - n00) * u;
    double b = n01 + (n11 - n01) * u;
    return (a + (b - a) * v) * 1.4142135623730951;
}

double tileFbm(double x, double y, int periodX, int periodY, int octaves, double gain,
               uint32_t seed) {
    double sum = 0.0, amplitude = 1.0, norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * tileNoise(x, y, periodX, periodY, seed + 977u * i);
        norm += amplitude;
        amplitude *= gain;
        x *= 2.0;
        y *= 2.0;
        periodX *= 2;
        periodY *= 2;
    }
    return sum / norm;
}

double valueNoise3(double x, double y, double z, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy), iz = static_cast<int>(fz);
    double u = fade(x - fx), v = fade(y - fy), w = fade(z - fz);
    auto corner = [&](int a, int b, int c) {
        return hash3(ix + a, iy + b, iz + c, seed) / 4294967295.0;
    };
    double x00 = mix(corner(0, 0, 0), corner(1, 0, 0), u);
    double x10 = mix(corner(0, 1, 0), corner(1, 1, 0), u);
    double x01 = mix(corner(0, 0, 1), corner(1, 0, 1), u);
    double x11 = mix(corner(0, 1, 1), corner(1, 1, 1), u);
    return mix(mix(x00, x10, v), mix(x01, x11, v), w);
}

double fbm3(double x, double y, double z, int octaves, double gain, uint32_t seed) {
    double sum = 0.0, amplitude = 1.0, norm = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise3(x, y, z, seed + 1013u * i);
        norm += amplitude;
        amplitude *= gain;
        x *= 2.03;
        y *= 2.03;
        z *= 2.03;
    }
    return sum / norm;
}

double tileCellular(double x, double y, int period, uint32_t seed, uint32_t* cellId) {
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    double best = 1e9;
    uint32_t bestId = 0;
    for (int oy = -1; oy <= 1; ++oy) {
        for (int ox = -1; ox <= 1; ++ox) {
            int cx = ix + ox, cy = iy + oy;
            uint32_t h = hash3(wrap(cx, period), wrap(cy, period), 7, seed);
            double px = cx + (h & 0xFFFFu) / 65535.0;
            double py = cy + (h >> 16) / 65535.0;
            // Squared: the root is taken once, of the nearest.
            double d = (px - x) * (px - x) + (py - y) * (py - y);
            if (d < best) {
                best = d;
                bestId = h;
            }
        }
    }
    if (cellId) {
        *cellId = bestId;
    }
    return std::sqrt(best);
}

double smoothstep(double edge0, double edge1, double x) {
    double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

double clamp01(double x) {
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

}  // namespace dusk::assetgen
