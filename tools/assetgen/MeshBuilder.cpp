#include "MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

namespace dusk::assetgen {

void MeshBuilder::triangle(const Vertex& a, const Vertex& b, const Vertex& c) {
    vertices_.push_back(a);
    vertices_.push_back(b);
    vertices_.push_back(c);
}

void MeshBuilder::quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d) {
    triangle(a, b, c);
    triangle(a, c, d);
}

void MeshBuilder::doubleSidedQuad(const Vertex& a, const Vertex& b, const Vertex& c,
                                  const Vertex& d, bool keepNormal) {
    quad(a, b, c, d);
    Vertex back[4] = {a, d, c, b};
    if (!keepNormal) {
        for (Vertex& v : back) {
            v.normal = -v.normal;
        }
    }
    quad(back[0], back[1], back[2], back[3]);
}

namespace {

// Texture axes of a flat face: its right and up as a viewer in front of it sees them;
// horizontal faces take world -z (or +z from below) as their up.
void faceAxes(const glm::vec3& n, glm::vec3* right, glm::vec3* up) {
    glm::vec3 u = std::fabs(n.y) > 0.9f ? glm::vec3(0.0f, 0.0f, n.y > 0.0f ? -1.0f : 1.0f)
                                        : glm::vec3(0.0f, 1.0f, 0.0f);
    *right = glm::normalize(glm::cross(u, n));
    *up = glm::cross(n, *right);
}

}  // namespace

void MeshBuilder::planarQuad(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c,
                             const glm::vec3& d, float texelScale) {
    glm::vec3 n = glm::normalize(glm::cross(b - a, c - a));
    glm::vec3 right, up;
    faceAxes(n, &right, &up);
    auto make = [&](const glm::vec3& p) {
        return Vertex{p, n, glm::vec2(glm::dot(p, right), glm::dot(p, up)) / texelScale};
    };
    quad(make(a), make(b), make(c), make(d));
}

void MeshBuilder::planarTriangle(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c,
                                 float texelScale) {
    glm::vec3 n = glm::normalize(glm::cross(b - a, c - a));
    glm::vec3 right, up;
    faceAxes(n, &right, &up);
    auto make = [&](const glm::vec3& p) {
        return Vertex{p, n, glm::vec2(glm::dot(p, right), glm::dot(p, up)) / texelScale};
    };
    triangle(make(a), make(b), make(c));
}

void MeshBuilder::box(const glm::vec3& lo, const glm::vec3& hi, float texelScale, bool bottom) {
    glm::vec3 p[8];
    for (int i = 0; i < 8; ++i) {
        p[i] = glm::vec3(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z);
    }
    planarQuad(p[4], p[5], p[7], p[6], texelScale);  // +z
    planarQuad(p[1], p[0], p[2], p[3], texelScale);  // -z
    planarQuad(p[5], p[1], p[3], p[7], texelScale);  // +x
    planarQuad(p[0], p[4], p[6], p[2], texelScale);  // -x
    planarQuad(p[6], p[7], p[3], p[2], texelScale);  // +y
    if (bottom) {
        planarQuad(p[0], p[1], p[5], p[4], texelScale);  // -y
    }
}

void MeshBuilder::turnedBox(const glm::vec3& centre, const glm::vec3& half, float angle,
                            float texelScale) {
    glm::vec3 ax(std::cos(angle), 0.0f, -std::sin(angle));
    glm::vec3 az(std::sin(angle), 0.0f, std::cos(angle));
    glm::vec3 ay(0.0f, 1.0f, 0.0f);
    auto corner = [&](int i) {
        return centre + ax * (i & 1 ? half.x : -half.x) + ay * (i & 2 ? half.y : -half.y) +
               az * (i & 4 ? half.z : -half.z);
    };
    glm::vec3 p[8];
    for (int i = 0; i < 8; ++i) {
        p[i] = corner(i);
    }
    planarQuad(p[4], p[5], p[7], p[6], texelScale);
    planarQuad(p[1], p[0], p[2], p[3], texelScale);
    planarQuad(p[5], p[1], p[3], p[7], texelScale);
    planarQuad(p[0], p[4], p[6], p[2], texelScale);
    planarQuad(p[6], p[7], p[3], p[2], texelScale);
}

void MeshBuilder::prism(const glm::vec2& centre, float radius, float y0, float y1, int sides,
                        float texelScale, bool top) {
    const float kTwoPi = 6.2831853f;
    float circumference = kTwoPi * radius;
    float repeats = std::max(1.0f, std::round(circumference / texelScale));
    for (int i = 0; i < sides; ++i) {
        // Walking clockwise seen from above keeps u increasing to a viewer's right.
        float a0 = -kTwoPi * i / sides;
        float a1 = -kTwoPi * (i + 1) / sides;
        glm::vec3 p0(centre.x + radius * std::cos(a0), y0, centre.y + radius * std::sin(a0));
        glm::vec3 p1(centre.x + radius * std::cos(a1), y0, centre.y + radius * std::sin(a1));
        float amid = 0.5f * (a0 + a1);
        glm::vec3 n(std::cos(amid), 0.0f, std::sin(amid));
        float u0 = repeats * i / sides;
        float u1 = repeats * (i + 1) / sides;
        float v0 = y0 / texelScale, v1 = y1 / texelScale;
        Vertex bl{p0, n, {u0, v0}}, br{p1, n, {u1, v0}};
        Vertex tr{glm::vec3(p1.x, y1, p1.z), n, {u1, v1}};
        Vertex tl{glm::vec3(p0.x, y1, p0.z), n, {u0, v1}};
        quad(bl, br, tr, tl);
        if (top) {
            glm::vec3 up(0.0f, 1.0f, 0.0f);
            auto cap = [&](const glm::vec3& p) {
                return Vertex{glm::vec3(p.x, y1, p.z), up, glm::vec2(p.x, -p.z) / texelScale};
            };
            glm::vec3 c(centre.x, y1, centre.y);
            triangle(cap(c), cap(p0), cap(p1));
        }
    }
}

void MeshBuilder::tube(const glm::vec3& from, const glm::vec3& to, float radiusFrom, float radiusTo,
                       int sides, const glm::vec2& uv0, const glm::vec2& uv1, bool capTop) {
    glm::vec3 axis = glm::normalize(to - from);
    glm::vec3 helper = std::fabs(axis.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    glm::vec3 s = glm::normalize(glm::cross(helper, axis));
    glm::vec3 t = glm::cross(axis, s);
    const float kTwoPi = 6.2831853f;
    // The slope of a tapered side tilts its normal toward the narrow end.
    float slope = (radiusFrom - radiusTo) / glm::length(to - from);
    for (int i = 0; i < sides; ++i) {
        // Counter-clockwise about the axis: outward faces, u growing to a viewer's right.
        float a0 = kTwoPi * i / sides;
        float a1 = kTwoPi * (i + 1) / sides;
        glm::vec3 d0 = s * std::cos(a0) + t * std::sin(a0);
        glm::vec3 d1 = s * std::cos(a1) + t * std::sin(a1);
        glm::vec3 n0 = glm::normalize(d0 + axis * slope);
        glm::vec3 n1 = glm::normalize(d1 + axis * slope);
        float u0 = uv0.x + (uv1.x - uv0.x) * i / sides;
        float u1 = uv0.x + (uv1.x - uv0.x) * (i + 1) / sides;
        Vertex bl{from + d0 * radiusFrom, n0, {u0, uv0.y}};
        Vertex br{from + d1 * radiusFrom, n1, {u1, uv0.y}};
        Vertex tr{to + d1 * radiusTo, n1, {u1, uv1.y}};
        Vertex tl{to + d0 * radiusTo, n0, {u0, uv1.y}};
        quad(bl, br, tr, tl);
        if (capTop) {
            glm::vec2 mid = 0.5f * (uv0 + uv1);
            glm::vec2 du(0.5f * (uv1.x - uv0.x), 0.0f);
            triangle(Vertex{to, axis, mid},
                     Vertex{to + d0 * radiusTo, axis, mid + glm::vec2(0.0f, 0.02f)},
                     Vertex{to + d1 * radiusTo, axis, mid + du});
        }
    }
}

void MeshBuilder::append(const MeshBuilder& other) {
    vertices_.insert(vertices_.end(), other.vertices_.begin(), other.vertices_.end());
}

namespace {

// Index of the printed line `text` in `lines`, adding it when new (OBJ indices start at 1).
size_t intern(std::unordered_map<std::string, size_t>& index, std::string& out, const char* prefix,
              const std::string& text) {
    auto found = index.find(text);
    if (found != index.end()) {
        return found->second;
    }
    size_t id = index.size() + 1;
    index.emplace(text, id);
    out += prefix;
    out += text;
    out += '\n';
    return id;
}

std::string format3(const glm::vec3& v, int decimals) {
    char buffer[96];
    // Adding 0 turns -0 into 0, so equal values print equally.
    std::snprintf(buffer, sizeof buffer, "%.*f %.*f %.*f", decimals, v.x + 0.0f, decimals,
                  v.y + 0.0f, decimals, v.z + 0.0f);
    std::string s(buffer);
    for (size_t p = s.find("-0."); p != std::string::npos; p = s.find("-0.", p + 1)) {
        size_t q = p + 3;
        while (q < s.size() && s[q] == '0') {
            ++q;
        }
        if (q == s.size() || s[q] == ' ') {
            s.erase(p, 1);
        }
    }
    return s;
}

}  // namespace

bool MeshBuilder::writeObj(const std::string& path, const std::string& comment) const {
    std::string positions, uvs, normals, faces;
    std::unordered_map<std::string, size_t> positionIndex, uvIndex, normalIndex;
    for (size_t i = 0; i < vertices_.size(); i += 3) {
        faces += 'f';
        for (size_t k = 0; k < 3; ++k) {
            const Vertex& v = vertices_[i + k];
            size_t p = intern(positionIndex, positions, "v ", format3(v.position, 4));
            char uv[64];
            std::snprintf(uv, sizeof uv, "%.5f %.5f", v.uv.x + 0.0f, v.uv.y + 0.0f);
            size_t t = intern(uvIndex, uvs, "vt ", uv);
            glm::vec3 n = glm::normalize(v.normal);
            size_t q = intern(normalIndex, normals, "vn ", format3(n, 4));
            char corner[64];
            std::snprintf(corner, sizeof corner, " %zu/%zu/%zu", p, t, q);
            faces += corner;
        }
        faces += '\n';
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    std::string text = "# " + comment + "\no dusklorne\n" + positions + uvs + normals + faces;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

}  // namespace dusk::assetgen
