#include "Props.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace dusk::assetgen {

const SkyFace* skyFaces() {
    // Top face at the left; the side faces' upper halves in two columns of two beside it.
    const int c = SkyAtlas::cell, half = 2 * SkyAtlas::border + SkyAtlas::inner / 2;
    static const SkyFace faces[6] = {
        {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}, c, 0, 0.5f, true},
        {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}, c, half, 0.5f, true},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, 0, 0, 0.0f, true},
        {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}, 0, 0, 1.0f, false},
        {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}, 2 * c, 0, 0.5f, true},
        {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}, 2 * c, half, 0.5f, true},
    };
    return faces;
}

MeshBuilder buildSkyBox() {
    MeshBuilder m;
    const float inner = SkyAtlas::inner;
    for (int f = 0; f < 6; ++f) {
        const SkyFace& face = skyFaces()[f];
        if (!face.drawn) {
            continue;
        }
        auto corner = [&](float s, float t) {
            glm::vec3 p =
                (face.centre + face.right * (2.0f * s - 1.0f) + face.up * (2.0f * t - 1.0f)) *
                kSkyHalfSize;
            float px = face.x + SkyAtlas::border + s * inner;
            float py = face.y + SkyAtlas::border + (1.0f - t) * inner;
            glm::vec2 uv(px / SkyAtlas::width, 1.0f - py / SkyAtlas::height);
            return Vertex{p, -face.centre, uv};
        };
        // Counter-clockwise seen from inside.
        m.quad(corner(0, face.t0), corner(1, face.t0), corner(1, 1), corner(0, 1));
    }
    return m;
}

bool writeQuadSphere(const std::string& path) {
    const int n = 8;
    std::string text = "# Dusklorne light ball: a unit sphere of quads\no sphere\n";
    std::string faces;
    int index = 0;
    char line[160];
    for (int f = 0; f < 6; ++f) {
        const SkyFace& face = skyFaces()[f];
        // Seen from outside the right axis is mirrored.
        glm::vec3 right = -face.right;
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                int corners[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
                faces += "f";
                for (auto& c : corners) {
                    float s = static_cast<float>(c[0]) / n, t = static_cast<float>(c[1]) / n;
                    glm::vec3 p = glm::normalize(face.centre + right * (2.0f * s - 1.0f) +
                                                 face.up * (2.0f * t - 1.0f));
                    std::snprintf(line, sizeof line, "v %.5f %.5f %.5f\nvt %.5f %.5f\n", p.x + 0.0f,
                                  p.y + 0.0f, p.z + 0.0f, s, t);
                    text += line;
                    std::snprintf(line, sizeof line, "vn %.5f %.5f %.5f\n", p.x + 0.0f, p.y + 0.0f,
                                  p.z + 0.0f);
                    text += line;
                    ++index;
                    std::snprintf(line, sizeof line, " %d/%d/%d", index, index, index);
                    faces += line;
                }
                faces += "\n";
            }
        }
    }
    text += faces;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace dusk::assetgen
