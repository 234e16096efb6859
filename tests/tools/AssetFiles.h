#pragma once

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace dusk::test {

struct Triangle {
    glm::vec3 a, b, c;
    glm::vec2 uv[3];  // as the loader reads them (v flipped)
};

// The generated files of the build's run directory, which the demo reads.
inline std::string runModel(const std::string& name) {
    return std::string(DUSK_RUN_DIR) + "/Model/Object/" + name;
}
inline std::string runImage(const std::string& name) {
    return std::string(DUSK_RUN_DIR) + "/Model/Image/" + name;
}

// The post-processing the demo's model loader asks for.
constexpr unsigned kLoaderFlags =
    aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs;

// Every triangle of a model file in model space, or none when it does not parse.
inline std::vector<Triangle> readTriangles(const std::string& path) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, kLoaderFlags);
    std::vector<Triangle> out;
    if (!scene) {
        return out;
    }
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices != 3) {
                continue;
            }
            auto p = [&](unsigned i) {
                const aiVector3D& v = mesh->mVertices[face.mIndices[i]];
                return glm::vec3(v.x, v.y, v.z);
            };
            auto t = [&](unsigned i) {
                if (!mesh->HasTextureCoords(0)) {
                    return glm::vec2(0.0f);
                }
                const aiVector3D& v = mesh->mTextureCoords[0][face.mIndices[i]];
                return glm::vec2(v.x, v.y);
            };
            out.push_back({p(0), p(1), p(2), {t(0), t(1), t(2)}});
        }
    }
    return out;
}

}  // namespace dusk::test
