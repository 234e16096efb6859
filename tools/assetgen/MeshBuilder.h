#pragma once

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace dusk::assetgen {

struct Vertex {
    glm::vec3 position;
    glm::vec3 normal;
    glm::vec2 uv;  // OBJ convention: v = 0 at the bottom of the image
};

// A triangle soup written as one OBJ object. Triangles are counter-clockwise seen from their
// front. Surfaces that get a texture in world units use `texelScale` world units per texture
// repeat.
class MeshBuilder {
public:
    void triangle(const Vertex& a, const Vertex& b, const Vertex& c);
    // a, b, c, d counter-clockwise seen from the front.
    void quad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d);
    // The same quad facing both ways (cut-out foliage): the back copy has the normal negated
    // unless `keepNormal`, which lights both sides alike.
    void doubleSidedQuad(const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d,
                         bool keepNormal);
    // A planar quad with a flat normal and texture coordinates from the world position:
    // u along the face's right as seen from the front, v along its up.
    void planarQuad(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c, const glm::vec3& d,
                    float texelScale);
    // A planar triangle textured like planarQuad.
    void planarTriangle(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c,
                        float texelScale);
    // An axis-aligned box; the bottom face is left out when it rests on or below something.
    void box(const glm::vec3& lo, const glm::vec3& hi, float texelScale, bool bottom = false);
    // A box turned about the vertical axis: centre, half extents along its own axes, and the
    // angle of its local x axis from world x (radians, counter-clockwise seen from above).
    void turnedBox(const glm::vec3& centre, const glm::vec3& half, float angle, float texelScale);
    // An upright prism (a round tower with `sides` faces) from y0 to y1, texture wrapping an
    // integral number of times around it; optionally capped on top.
    void prism(const glm::vec2& centre, float radius, float y0, float y1, int sides,
               float texelScale, bool top);
    // A tapered tube between two points (tree trunks and branches), texture coordinates
    // mapped onto the rectangle uv0..uv1 of the image (u around, v along).
    void tube(const glm::vec3& from, const glm::vec3& to, float radiusFrom, float radiusTo,
              int sides, const glm::vec2& uv0, const glm::vec2& uv1, bool capTop);

    void append(const MeshBuilder& other);
    const std::vector<Vertex>& vertices() const { return vertices_; }
    size_t triangleCount() const { return vertices_.size() / 3; }

    // Writes the OBJ file; positions, texture coordinates and normals are shared between faces
    // where they print the same. False when the file cannot be written.
    bool writeObj(const std::string& path, const std::string& comment) const;

private:
    std::vector<Vertex> vertices_;
};

}  // namespace dusk::assetgen
