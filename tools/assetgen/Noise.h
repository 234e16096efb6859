#pragma once

#include <cstdint>

namespace dusk::assetgen {

// A small deterministic random source (xorshift-multiply); the same seed gives the same numbers
// on every platform, unlike std::rand or the distributions of <random>.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint32_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }

private:
    uint64_t state_;
};

uint32_t hash3(int32_t x, int32_t y, int32_t z, uint32_t seed);

// Gradient noise in about [-1, 1], periodic with `periodX` and `periodY` lattice cells, so that
// images made from it tile.
double tileNoise(double x, double y, int periodX, int periodY, uint32_t seed);
// Sum of `octaves` tiling noises, each of twice the frequency and `gain` times the amplitude of
// the one before; the periods are those of the first octave. Roughly in [-1, 1].
double tileFbm(double x, double y, int periodX, int periodY, int octaves, double gain,
               uint32_t seed);

// Three-dimensional value noise in [0, 1] (not periodic), for the sky and the explosion.
double valueNoise3(double x, double y, double z, uint32_t seed);
double fbm3(double x, double y, double z, int octaves, double gain, uint32_t seed);

// Distance to the nearest feature point of a tiling cellular pattern (cells of size 1, period
// `period` cells), and the hash of that point's cell in `cellId`.
double tileCellular(double x, double y, int period, uint32_t seed, uint32_t* cellId);

double smoothstep(double edge0, double edge1, double x);
double clamp01(double x);
double mix(double a, double b, double t);

}  // namespace dusk::assetgen
