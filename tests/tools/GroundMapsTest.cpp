#include "support/BuildPaths.h"
#include "support/EndToEnd.h"
#include "support/Mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

// The generated ground as the scene shows it: the model's texture coordinates laid over the
// 350 x 350 field, the colour map read through them.
namespace {

using namespace dusk::test;

// An image as the texture loader reads it: RGB in [0, 1], row 0 at the top.
struct Map {
    int width = 0, height = 0;
    std::vector<glm::vec3> rgb;

    explicit Map(const std::string& name) {
        const Picture picture = readPicture(dusk::test::built::runDir() + "/Model/Image/" + name);
        width = picture.width, height = picture.height;
        for (size_t i = 0; i < picture.rgb.size(); i += 3) {
            rgb.push_back(glm::vec3(picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]) /
                          255.0f);
        }
    }
    glm::vec3 at(int x, int y) const {
        x = (x % width + width) % width, y = (y % height + height) % height;
        return rgb[size_t(y) * width + x];
    }
    // Filtered as the sampler does, repeating; `uv` as the model loader hands it on.
    glm::vec3 sample(glm::vec2 uv) const {
        glm::vec2 p = uv * glm::vec2(width, height) - 0.5f, f = glm::fract(p);
        int x = int(std::floor(p.x)), y = int(std::floor(p.y));
        return glm::mix(glm::mix(at(x, y), at(x + 1, y), f.x),
                        glm::mix(at(x, y + 1), at(x + 1, y + 1), f.x), f.y);
    }
};

float greenness(const glm::vec3& c) {
    return c.g - 0.5f * (c.r + c.b);
}

// The field's colour on a grid of `step` world units, the ground model scaled as the scene
// does, and each cell's texture coordinate.
struct Field {
    static constexpr float size = 350.0f, step = 0.5f, scale = 2.5f;
    static constexpr int samples = int(size / step);
    std::vector<glm::vec3> color = std::vector<glm::vec3>(samples * samples, glm::vec3(-1.0f));

    explicit Field(const Map& map) {
        for (const auto& t : trianglesOf("Model/Object/ground20.obj")) {
            glm::vec2 p[3], uv[3];
            for (int k = 0; k < 3; ++k) {
                p[k] = glm::vec2(t[k].position.x, t[k].position.z) * scale, uv[k] = t[k].uv;
            }
            paint(map, p, uv);
        }
    }
    // Every grid point inside the triangle, coloured through its texture coordinates.
    void paint(const Map& map, const glm::vec2 (&p)[3], const glm::vec2 (&uv)[3]) {
        glm::vec2 lo = glm::min(p[0], glm::min(p[1], p[2])),
                  hi = glm::max(p[0], glm::max(p[1], p[2]));
        float area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
        for (int j = std::max(0, index(lo.y)); j <= std::min(samples - 1, index(hi.y) + 1); ++j) {
            for (int i = std::max(0, index(lo.x)); i <= std::min(samples - 1, index(hi.x) + 1);
                 ++i) {
                glm::vec2 q = position(i, j);
                float a =
                    ((p[1].x - q.x) * (p[2].y - q.y) - (p[2].x - q.x) * (p[1].y - q.y)) / area;
                float b =
                    ((p[2].x - q.x) * (p[0].y - q.y) - (p[0].x - q.x) * (p[2].y - q.y)) / area;
                if (a >= 0.0f && b >= 0.0f && a + b <= 1.0f) {
                    color[size_t(j) * samples + i] =
                        map.sample(a * uv[0] + b * uv[1] + (1 - a - b) * uv[2]);
                }
            }
        }
    }
    static int index(float world) { return int(std::floor((world + 0.5f * size) / step)); }
    static glm::vec2 position(int i, int j) {
        return glm::vec2(i + 0.5f, j + 0.5f) * step - 0.5f * size;
    }
    // The mean colour over a rectangle of world x and z.
    glm::vec3 mean(glm::vec2 lo, glm::vec2 hi) const {
        glm::vec3 sum(0.0f);
        int count = 0;
        for (int j = std::max(0, index(lo.y)); j < std::min(samples, index(hi.y)); ++j) {
            for (int i = std::max(0, index(lo.x)); i < std::min(samples, index(hi.x)); ++i) {
                sum += color[size_t(j) * samples + i];
                ++count;
            }
        }
        return sum / float(std::max(count, 1));
    }
};

const Map& colorMap() {
    static const Map map("ground19.jpg");
    return map;
}

const Field& field() {
    static const Field field(colorMap());
    return field;
}

// The model covers the whole field, and its colour changes over tens of metres: the means of
// blocks 35 units a side differ in brightness and in hue, not only grass blade by blade.
TEST(GroundMapsTest, TheFieldChangesOverTensOfMetres) {
    for (const glm::vec3& c : field().color) {
        ASSERT_GE(c.r, 0.0f) << "a point of the field the ground does not cover";
    }
    std::vector<float> brightness, green;
    for (float z = -175.0f; z < 175.0f; z += 35.0f) {
        for (float x = -175.0f; x < 175.0f; x += 35.0f) {
            glm::vec3 m = field().mean({x, z}, {x + 35.0f, z + 35.0f});
            brightness.push_back(m.r + m.g + m.b);
            green.push_back(greenness(m));
        }
    }
    auto spread = [](std::vector<float> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() * 9 / 10] - v[v.size() / 10];  // the middle 80 %
    };
    EXPECT_GT(spread(brightness), 0.09f);
    EXPECT_GT(spread(green), 0.025f);
}

// Worn earth, browner than the field, along the walls and on the way to the gate.
TEST(GroundMapsTest, TheGroundIsWornAlongTheWallsAndBeforeTheGate) {
    const float fieldGreen = greenness(field().mean({-175, -175}, {175, 175}));
    const std::pair<glm::vec2, glm::vec2> places[] = {
        {{-45, -2}, {-29, 10}},   // before the gate in the west wall
        {{-20, 27}, {20, 30}},    // along the north wall, outside
        {{27, -20}, {30, 20}},    // along the east wall, outside
        {{-20, -30}, {20, -27}},  // along the south wall, outside
    };
    for (auto [lo, hi] : places) {
        EXPECT_LT(greenness(field().mean(lo, hi)), fieldGreen - 0.03f) << lo.x << " " << lo.y;
    }
}

// Where the texture coordinates jump from one cell of the model to the next, the colours on
// the two sides still match: the colour steps across those edges are no larger than steps of
// the same length inside the cells.
TEST(GroundMapsTest, NoSeamBetweenTheCells) {
    // Each edge by its two corner positions, with the texture coordinates of its first triangle
    // there and, toward the inside of that triangle, the direction of one texel.
    struct Side {
        glm::vec2 uv[2], inward;
    };
    std::map<std::pair<std::string, std::string>, Side> first;
    const Map& map = colorMap();
    const glm::vec2 texel(1.0f / map.width, 1.0f / map.height);
    double across = 0.0, inside = 0.0;
    int seams = 0;
    for (const auto& t : trianglesOf("Model/Object/ground20.obj")) {
        for (int e = 0; e < 3; ++e) {
            const Corner &a = t[e], &b = t[(e + 1) % 3], &c = t[(e + 2) % 3];
            auto key = [](const Corner& v) {
                return std::to_string(v.position.x) + " " + std::to_string(v.position.z);
            };
            glm::vec2 mid = 0.5f * (a.uv + b.uv),
                      inward = glm::normalize((c.uv - mid) / texel) * texel;
            const std::string ka = std::min(key(a), key(b)), kb = std::max(key(a), key(b));
            Side side{{key(a) == ka ? a.uv : b.uv, key(a) == ka ? b.uv : a.uv}, inward};
            auto [found, added] = first.emplace(std::make_pair(ka, kb), side);
            if (added || glm::length(found->second.uv[0] - side.uv[0]) +
                                 glm::length(found->second.uv[1] - side.uv[1]) <
                             1e-5f) {
                continue;
            }
            ++seams;
            for (float s = 0.05f; s < 1.0f; s += 0.1f) {
                glm::vec2 p = glm::mix(side.uv[0], side.uv[1], s);
                glm::vec2 q = glm::mix(found->second.uv[0], found->second.uv[1], s);
                across += glm::length(map.sample(p + 0.5f * side.inward) -
                                      map.sample(q + 0.5f * found->second.inward));
                inside += glm::length(map.sample(p + 0.5f * side.inward) -
                                      map.sample(p + 1.5f * side.inward));
            }
        }
    }
    EXPECT_GT(seams, 1000) << "the cells share their texture coordinates";
    EXPECT_LT(across, 1.5 * inside);
}

// The ground is sharpest where the flight and the player come closest, round the castle, and
// its far reaches, seen from afar and through fog, take larger cells: few triangles in all.
TEST(GroundMapsTest, CellsAreFinestRoundTheCastle) {
    const Map& map = colorMap();
    double nearTexels = 0.0, nearArea = 0.0, farthest = 0.0, coarsest = 1e9;
    int triangles = 0;
    for (const auto& t : trianglesOf("Model/Object/ground20.obj")) {
        ++triangles;
        glm::vec2 p[3], uv[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = glm::vec2(t[k].position.x, t[k].position.z) * Field::scale;
            uv[k] = t[k].uv * glm::vec2(map.width, map.height);
        }
        auto area = [](const glm::vec2(&q)[3]) {
            return 0.5 * std::fabs((q[1].x - q[0].x) * (q[2].y - q[0].y) -
                                   (q[2].x - q[0].x) * (q[1].y - q[0].y));
        };
        const double world = area(p), texels = area(uv);
        const glm::vec2 centre = (p[0] + p[1] + p[2]) / 3.0f;
        if (std::max(std::fabs(centre.x), std::fabs(centre.y)) < 60.0f) {
            nearTexels += texels, nearArea += world;
        }
        farthest = std::max(farthest, double(glm::length(centre)));
        coarsest = std::min(coarsest, std::sqrt(texels / world));
    }
    EXPECT_GT(std::sqrt(nearTexels / nearArea), 25.0) << "texels a unit round the castle";
    EXPECT_GT(coarsest, 11.0) << "texels a unit at the rim";
    EXPECT_GT(farthest, 200.0) << "the ground reaches the corners of the field";
    EXPECT_LE(triangles, 2000);
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const double n = double(a.size());
    const double ma = std::accumulate(a.begin(), a.end(), 0.0) / n;
    const double mb = std::accumulate(b.begin(), b.end(), 0.0) / n;
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma),
            bb += (b[i] - mb) * (b[i] - mb);
    }
    return ab / std::sqrt(std::max(aa * bb, 1e-30));
}

// The normal map's relief lies where the colour map's detail is (tufts, pebbles, the rims of
// bare patches); the specular strength, in its own map and in the normal map's blue, is higher
// where the colour map shows earth and stones than where it shows grass. Both maps have half the
// colour map's size: each of their pixels against the 2 x 2 colour pixels it covers.
TEST(GroundMapsTest, NormalAndSpecularMapsFollowTheColourMap) {
    const Map& color = colorMap();
    const Map normal("ground19n.jpg"), specular("ground19s.jpg");
    ASSERT_TRUE(2 * normal.width == color.width && 2 * normal.height == color.height);
    ASSERT_TRUE(specular.width == normal.width && specular.height == normal.height);
    auto block = [&](int x, int y) {
        return 0.25f * (color.at(2 * x, 2 * y) + color.at(2 * x + 1, 2 * y) +
                        color.at(2 * x, 2 * y + 1) + color.at(2 * x + 1, 2 * y + 1));
    };
    auto luminance = [&](int x, int y) { return glm::dot(block(x, y), glm::vec3(1.0f)); };
    std::vector<double> detail, relief, earth, shine, packed;
    for (int y = 0; y < normal.height; ++y) {
        for (int x = 0; x < normal.width; ++x) {
            detail.push_back(std::fabs(luminance(x + 1, y) - luminance(x - 1, y)) +
                             std::fabs(luminance(x, y + 1) - luminance(x, y - 1)));
            relief.push_back(glm::length(glm::vec2(normal.at(x, y)) * 2.0f - 1.0f));
            earth.push_back(block(x, y).r - block(x, y).g);
            shine.push_back(specular.at(x, y).r);
            packed.push_back(normal.at(x, y).b);
        }
    }
    EXPECT_GT(correlation(detail, relief), 0.2) << "relief where the colour has detail";
    EXPECT_GT(correlation(earth, shine), 0.5) << "shine on earth and stones";
    EXPECT_GT(correlation(shine, packed), 0.5) << "the same strength in the normal map's blue";
}

}  // namespace
