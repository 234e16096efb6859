#include "Meadow.h"

#include "Noise.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace dusk::assetgen {

namespace {

using glm::vec3;
using glm::vec4;
using Torus = std::array<std::array<int, 4>, 4>;

// The corners of the window whose top left is (row, column), wrapping: north-west, north-east,
// south-west and south-east as the bits 3 to 0.
int window(const Torus& t, int row, int column) {
    int r1 = (row + 1) % 4, c1 = (column + 1) % 4;
    return t[row][column] << 3 | t[row][c1] << 2 | t[r1][column] << 1 | t[r1][c1];
}

// A 4 x 4 torus of bits whose sixteen 2 x 2 windows are all different, the first in counting
// order: one tile for each combination of two covers at four corners, laid out so that
// neighbouring tiles share their edges' corners, in the maps as on the ground.
const Torus& cornerTorus() {
    static const Torus torus = [] {
        Torus t{};
        for (uint32_t bits = 0; bits < 65536; ++bits) {
            for (int i = 0; i < 16; ++i) {
                t[i / 4][i % 4] = (bits >> i) & 1;
            }
            uint32_t seen = 0;
            for (int r = 0; r < 4; ++r) {
                for (int c = 0; c < 4; ++c) {
                    seen |= 1u << window(t, r, c);
                }
            }
            if (seen == 0xFFFFu) {
                break;
            }
        }
        return t;
    }();
    return torus;
}

// The two covers of a set of tiles: bit 0 and bit 1 of the torus.
Cover coverOf(int set, int bit) {
    if (set == 0) {
        return bit ? Cover::dry : Cover::lush;
    }
    return bit ? Cover::worn : Cover::dry;
}

vec3 rgb(float r, float g, float b) {
    return vec3(r, g, b);
}

}  // namespace

float meadowGridLine(int i) {
    // x(t) = half (a t + (1 - a) t^3): cells a * half * 2 / cells wide in the middle and
    // (3 - 2a) times that at the rim.
    const float a = 0.75f;
    const float t = 2.0f * static_cast<float>(i) / MeadowLayout::cells - 1.0f;
    return 0.5f * MeadowLayout::worldSize * (a * t + (1.0f - a) * t * t * t);
}

std::vector<Cover> meadowCovers() {
    const int n = MeadowLayout::cells + 1;
    const double walls = 26.0;  // the castle's outer wall faces
    std::vector<Cover> cover(static_cast<size_t>(n) * n);
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            double x = meadowGridLine(i), z = meadowGridLine(j);
            double outside = std::hypot(std::max(std::fabs(x) - walls, 0.0),
                                        std::max(std::fabs(z) - walls, 0.0));
            // Lusher and drier patches some tens of metres across.
            double patches = fbm3(x / 50.0, z / 50.0, 0.5, 3, 0.5, 91);
            // A track leaves the gate (in the west wall, z = 4) westward and wanders off.
            double wander =
                (fbm3(x / 45.0, 0.5, 0.5, 2, 0.5, 92) - 0.5) * 40.0 * smoothstep(-30.0, -80.0, x);
            bool track = x < -20.0 && x > -130.0 && std::fabs(z - 4.0 - wander) < 6.5;
            // Trodden along the walls and in the courtyard, where a few patches of grass keep.
            bool worn = track || (outside < 4.0 && (outside > 0.0 || patches < 0.56));
            // An eighth of the corners turn the other way: spots of dry grass in the lush and of
            // lush in the dry, and no long runs of one tile.
            bool dry = (patches > 0.5) != (hash3(i, j, 0, 93) % 8 == 0);
            cover[static_cast<size_t>(j) * n + i] =
                worn ? Cover::worn : (dry ? Cover::dry : Cover::lush);
        }
    }
    // Dry grass round every worn corner, so that no cell holds both lush grass and worn earth.
    std::vector<Cover> ringed = cover;
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            bool nearWorn = false;
            for (int dj = -1; dj <= 1; ++dj) {
                for (int di = -1; di <= 1; ++di) {
                    int a = i + di, b = j + dj;
                    nearWorn = nearWorn || (a >= 0 && b >= 0 && a < n && b < n &&
                                            cover[static_cast<size_t>(b) * n + a] == Cover::worn);
                }
            }
            Cover& c = ringed[static_cast<size_t>(j) * n + i];
            if (c == Cover::lush && nearWorn) {
                c = Cover::dry;
            }
        }
    }
    return ringed;
}

TileIndex meadowTile(Cover northWest, Cover northEast, Cover southWest, Cover southEast,
                     uint32_t pick) {
    const Cover corners[4] = {northWest, northEast, southWest, southEast};
    bool lush = false, worn = false;
    for (Cover c : corners) {
        lush = lush || c == Cover::lush;
        worn = worn || c == Cover::worn;
    }
    int set = lush ? 0 : (worn ? 1 : static_cast<int>(pick & 1u));
    int wanted = 0;
    for (Cover c : corners) {
        wanted = wanted << 1 | (set == 0 ? c != Cover::lush : c == Cover::worn);
    }
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (window(cornerTorus(), r, c) == wanted) {
                return {c, set * 4 + r};
            }
        }
    }
    return {0, 0};  // not reached: every window is in the torus
}

MeshBuilder buildGround() {
    MeshBuilder m;
    const int cells = MeadowLayout::cells, n = cells + 1;
    const float toModel = 1.0f / MeadowLayout::worldScale;
    const std::vector<Cover> cover = meadowCovers();
    auto at = [&](int i, int j) { return cover[static_cast<size_t>(j) * n + i]; };
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    // The corners move off the square grid, all but those on the rim, so that the cells' edges
    // run crooked and each tile is drawn a little skewed: no row of like cells lines up.
    auto corner = [&](int i, int j) {
        glm::vec3 p(meadowGridLine(i), 0.0f, meadowGridLine(j));
        if (i > 0 && j > 0 && i < cells && j < cells) {
            // A third of the narrower cell beside the corner, so that no cell folds over.
            float wide = std::min(meadowGridLine(i + 1) - p.x, p.x - meadowGridLine(i - 1));
            float deep = std::min(meadowGridLine(j + 1) - p.z, p.z - meadowGridLine(j - 1));
            p.x += wide * 0.3f * (hash3(i, j, 1, 96) / 4294967295.0f * 2.0f - 1.0f);
            p.z += deep * 0.3f * (hash3(i, j, 2, 96) / 4294967295.0f * 2.0f - 1.0f);
        }
        return p * toModel;
    };
    for (int j = 0; j < cells; ++j) {
        for (int i = 0; i < cells; ++i) {
            TileIndex tile = meadowTile(at(i, j), at(i + 1, j), at(i, j + 1), at(i + 1, j + 1),
                                        hash3(i, j, 0, 95));
            float u0 = static_cast<float>(tile.column) / MeadowLayout::columns;
            float u1 = static_cast<float>(tile.column + 1) / MeadowLayout::columns;
            float vTop = 1.0f - static_cast<float>(tile.row) / MeadowLayout::rows;
            float vBottom = 1.0f - static_cast<float>(tile.row + 1) / MeadowLayout::rows;
            // The tile's top toward -z and its left toward -x: seen from above with +x to the
            // right, upright, and its tangent frame right-handed. Counter-clockwise from above.
            m.quad(Vertex{corner(i, j + 1), up, {u0, vBottom}},
                   Vertex{corner(i + 1, j + 1), up, {u1, vBottom}},
                   Vertex{corner(i + 1, j), up, {u1, vTop}}, Vertex{corner(i, j), up, {u0, vTop}});
        }
    }
    return m;
}

SurfaceMaps makeGround() {
    const int w = MeadowLayout::width, h = MeadowLayout::height, size = MeadowLayout::tilePixels;
    SurfaceMaps maps{ImageBuffer(w, h), ImageBuffer(w, h), ImageBuffer(w, h)};
    std::vector<float> height(static_cast<size_t>(w) * h);
    // Rows depend on nothing but their place: they are drawn side by side on all cores.
    forEachRow(h, [&](int y) {
        const int set = y / (4 * size), row = (y / size) % 4;
        const double t = (y % size + 0.5) / size;
        for (int x = 0; x < w; ++x) {
            const int column = x / size;
            const double s = (x % size + 0.5) / size;
            // The covers at the tile's corners, blended smoothly across it.
            const int bits = window(cornerTorus(), row, column);
            double dryAt[4], wornAt[4];
            for (int k = 0; k < 4; ++k) {
                Cover c = coverOf(set, (bits >> (3 - k)) & 1);
                dryAt[k] = c != Cover::lush;
                wornAt[k] = c == Cover::worn;
            }
            // Noise that all tiles share along their edges and each has its own of inside, so
            // that edges match and no two tiles look alike; the coarser the noise, the wider the
            // band in which it turns from the one to the other.
            const int tile = set * 16 + row * 4 + column;
            const double edge = std::min(std::min(s, 1.0 - s), std::min(t, 1.0 - t));
            auto shared = [&](double scale, int octaves, uint32_t seed) {
                const int period = static_cast<int>(scale);
                auto at = [&](double a, double b) {
                    return tileFbm(a * scale, b * scale, period, period, octaves, 0.55, seed);
                };
                const double own = smoothstep(0.0, std::min(0.45, 0.5 / scale), edge);
                double common = at(s, t);
                return own > 0.0 ? mix(common, at(s + 0.618 * tile, t + 0.382 * tile), own)
                                 : common;
            };
            const double patch = shared(2.0, 3, 301), spot = shared(5.0, 3, 302);
            // The blend from corner to corner, its lines of equal mix bent by noise so that
            // patches come out round and ragged rather than square.
            const double bendS = shared(1.0, 1, 307), bendT = shared(1.0, 1, 308);
            const double ws = smoothstep(0.0, 1.0, clamp01(s + 1.2 * s * (1.0 - s) * bendS));
            const double wt = smoothstep(0.0, 1.0, clamp01(t + 1.2 * t * (1.0 - t) * bendT));
            auto blend = [&](const double(&v)[4]) {
                return mix(mix(v[0], v[1], ws), mix(v[2], v[3], ws), wt);
            };
            // Mottled: lush ground has its drier spots and dry ground its greener ones.
            const double dry = clamp01(0.1 + 0.8 * blend(dryAt) + 0.45 * patch);
            const double worn = smoothstep(0.2, 0.8, blend(wornAt) + 0.3 * patch);

            // Tufts of grass, blades, small ups and downs of the earth, pebbles.
            uint32_t tuftId = 0, pebbleId = 0;
            const double tuft =
                1.0 - smoothstep(0.15, 0.7, tileCellular(s * 26, t * 26, 26, 303, &tuftId));
            const double shade = (tuftId & 255) / 255.0;
            const double blades = tileFbm(s * 110, t * 110, 110, 110, 2, 0.6, 304);
            const double fine = tileFbm(s * 24, t * 24, 24, 24, 2, 0.5, 305);
            const double pebbleDistance = tileCellular(s * 64, t * 64, 64, 306, &pebbleId);
            const double pebble = (pebbleId & 7) < 2 ? smoothstep(0.34, 0.22, pebbleDistance) : 0.0;

            const double tone = clamp01(0.4 + 0.45 * tuft * shade + 0.35 * blades + 0.1 * fine);
            const vec3 lushGrass =
                glm::mix(rgb(0.16f, 0.27f, 0.08f), rgb(0.31f, 0.41f, 0.14f), float(tone));
            const vec3 dryGrass =
                glm::mix(rgb(0.30f, 0.32f, 0.15f), rgb(0.44f, 0.44f, 0.22f), float(tone));
            const vec3 grass = glm::mix(lushGrass, dryGrass, float(dry));
            const vec3 earth =
                glm::mix(rgb(0.35f, 0.29f, 0.21f), rgb(0.40f, 0.34f, 0.25f), float(worn)) *
                float(0.85 + 0.25 * fine);
            // Bare earth: none in lush grass, patches in dry grass, most of worn ground, where
            // grass keeps in tufts.
            const double bareDry = 0.7 * smoothstep(0.25, 0.5, spot);
            const double bareWorn = 1.0 - 0.9 * tuft * smoothstep(-0.3, 0.3, spot);
            const double bare =
                clamp01(mix(dry * bareDry, bareWorn, worn) - 0.3 * std::max(blades, 0.0));
            const double stones = pebble * smoothstep(0.2, 0.6, bare);
            const vec3 stone =
                rgb(0.46f, 0.44f, 0.40f) * float(0.75 + 0.35 * ((pebbleId >> 8) & 255) / 255.0);
            vec3 color = glm::mix(glm::mix(grass, earth, float(bare)), stone, float(stones)) *
                         float(1.0 + 0.12 * patch);
            double hgt = (1.0 - bare) * (0.45 + 0.3 * tuft + 0.2 * blades) +
                         bare * (0.2 + 0.1 * fine) +
                         stones * 0.35 * smoothstep(0.34, 0.1, pebbleDistance);
            double shine = mix(mix(0.04, 0.07, dry), 0.1, bare) + stones * 0.25;
            height[static_cast<size_t>(y) * w + x] = static_cast<float>(hgt);
            maps.color.at(x, y) = vec4(color, 1.0f);
            maps.specular.at(x, y) = vec4(vec3(static_cast<float>(shine)), 1.0f);
        }
    });
    // Relief and shine at half the colour's size: the start-up reads a quarter of the pixels,
    // and the grass's relief holds up to the cameras' closest view.
    maps.normal = normalMapFromHeight(height, w, h, 3.5f).halved();
    maps.specular = maps.specular.halved();
    packSpecular(maps.normal, maps.specular);
    return maps;
}

}  // namespace dusk::assetgen
