#pragma once

#include "support/BuildPaths.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace dusk::test {

struct Corner {
    glm::vec3 position, normal;
    glm::vec2 uv;  // row 0 at the top, as the model loader hands it on
};

// The triangles of every mesh of a model file of the build's run directory, read by Assimp as
// the demo's loader reads them; none, and a failure, when it cannot be read.
inline std::vector<std::array<Corner, 3>> trianglesOf(const std::string& file) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(dusk::test::built::runDir() + "/" + file,
                                             aiProcess_Triangulate | aiProcess_FlipUVs);
    EXPECT_NE(scene, nullptr) << importer.GetErrorString();
    std::vector<std::array<Corner, 3>> triangles;
    for (unsigned m = 0; scene != nullptr && m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            std::array<Corner, 3>& t = triangles.emplace_back();
            for (int k = 0; k < 3; ++k) {
                const unsigned i = mesh->mFaces[f].mIndices[k];
                const aiVector3D& p = mesh->mVertices[i];
                const aiVector3D n = mesh->mNormals ? mesh->mNormals[i] : aiVector3D();
                const aiVector3D uv =
                    mesh->mTextureCoords[0] ? mesh->mTextureCoords[0][i] : aiVector3D();
                t[k] = {{p.x, p.y, p.z}, {n.x, n.y, n.z}, {uv.x, uv.y}};
            }
        }
    }
    return triangles;
}

}  // namespace dusk::test
