#pragma once

#include "assets/Mesh.h"
#include "render/GL.h"

#include <glm/glm.hpp>

#include <string>
#include <vector>

class Texture;

// One model file in one vertex array: positions, normals, texture coordinates, tangents and
// bitangents in their own buffers, a table of sub-meshes, and up to three textures.
class Model {
public:
    // Buffer slots.
    enum {
        INDEX_BUFFER,
        POSITION_BUFFER,
        NORMAL_BUFFER,
        TEXCOORD_BUFFER,
        TANGENT_BUFFER,
        BITANGENT_BUFFER,
        BUFFER_COUNT
    };

    Model();
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // True when the file was parsed, holds at least one triangle and was uploaded without a GL
    // error. An empty normal or specular path means no such texture.
    bool load(const std::string& path, const std::string& colorPath, const std::string& normalPath,
              const std::string& specularPath);
    void draw();
    void clear();

    GLuint vertexArray;            // vertex array object over all six buffers
    GLuint buffers[BUFFER_COUNT];  // index, position, normal, uv, tangent, bitangent buffers
    std::vector<Mesh> meshes;
    std::vector<Texture*> colorTextures;  // one slot after a load
    Texture* normalTexture;
    Texture* specularTexture;
};

namespace dusk {

// The per-triangle tangent and bitangent of three vertices. Degenerate texture coordinates
// (a zero determinant) give a finite basis perpendicular to the face normal instead.
void triangleTangentBasis(const glm::vec3 p[3], const glm::vec2 uv[3], glm::vec3* tangent,
                          glm::vec3* bitangent);

}  // namespace dusk
