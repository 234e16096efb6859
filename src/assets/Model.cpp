#include "assets/Model.h"

#include "assets/Texture.h"
#include "render/GlDebug.h"
#include "render/LoadTimers.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <cstdio>
#include <iostream>

namespace dusk {

void triangleTangentBasis(const glm::vec3 p[3], const glm::vec2 uv[3], glm::vec3* tangent,
                          glm::vec3* bitangent) {
    glm::vec3 e1 = p[1] - p[0];
    glm::vec3 e2 = p[2] - p[0];
    glm::vec2 d1 = uv[1] - uv[0];
    glm::vec2 d2 = uv[2] - uv[0];
    float determinant = d1.x * d2.y - d1.y * d2.x;
    if (determinant != 0.0f && std::isfinite(1.0f / determinant)) {
        float r = 1.0f / determinant;
        *tangent = (e1 * d2.y - e2 * d1.y) * r;
        *bitangent = (e2 * d1.x - e1 * d2.x) * r;
        if (std::isfinite(tangent->x + tangent->y + tangent->z + bitangent->x + bitangent->y +
                          bitangent->z)) {
            return;
        }
    }
    // No usable texture mapping: any basis in the face's plane keeps the lighting finite.
    glm::vec3 normal = glm::cross(e1, e2);
    float length = glm::length(normal);
    normal = length > 0.0f && std::isfinite(length) ? normal / length : glm::vec3(0, 1, 0);
    glm::vec3 helper = std::fabs(normal.x) < 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
    *tangent = glm::normalize(glm::cross(helper, normal));
    *bitangent = glm::cross(normal, *tangent);
}

}  // namespace dusk

namespace {

// A face that yields one triangle: at least three indices, all inside its mesh. Points, lines and
// faces pointing past the vertices are left out, so every stream stays aligned and the counts
// stay true.
bool isTriangle(const aiMesh* mesh, const aiFace& face) {
    if (face.mNumIndices < 3) {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        if (face.mIndices[c] >= mesh->mNumVertices) {
            return false;
        }
    }
    return true;
}

// True when some mesh of the scene has a triangle to draw.
bool hasTriangles(const aiScene* scene) {
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[i];
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            if (isTriangle(mesh, mesh->mFaces[f])) {
                return true;
            }
        }
    }
    return false;
}

// Loads one texture of a model; null when the file cannot be read.
Texture* loadModelTexture(const std::string& path) {
    auto* texture = new Texture(path);
    if (texture->load()) {
        return texture;
    }
    delete texture;
    return nullptr;
}

template <typename T> void uploadStream(GLuint buffer, GLenum target, const std::vector<T>& data) {
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(),
                 GL_STATIC_DRAW);
}

void describeStream(GLuint location, GLint components) {
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

}  // namespace

Model::Model() : vertexArray(0), buffers{}, normalTexture(nullptr), specularTexture(nullptr) {}

Model::~Model() {
    clear();
}

bool Model::load(const std::string& path, const std::string& colorPath,
                 const std::string& normalPath, const std::string& specularPath) {
    double textureSecondsBefore = dusk::loadTimers.textureSeconds;
    auto started = std::chrono::steady_clock::now();

    clear();
    meshes.clear();
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(BUFFER_COUNT, buffers);

    bool loaded = false;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_FlipUVs);
    if (scene == nullptr) {
        std::printf("Error parsing '%s': '%s'\n", path.c_str(), importer.GetErrorString());
        std::fflush(stdout);
    } else if (!hasTriangles(scene)) {
        // The importer takes garbage, a directory or a cut-off file as an empty scene.
        std::printf("Error parsing '%s': '%s'\n", path.c_str(), "no triangles in the file");
        std::fflush(stdout);
    } else {
        meshes.assign(scene->mNumMeshes, Mesh());
        colorTextures.assign(1, nullptr);

        size_t vertexTotal = 0;
        size_t indexTotal = 0;
        for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
            const aiMesh* mesh = scene->mMeshes[i];
            size_t triangles = 0;
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                triangles += isTriangle(mesh, mesh->mFaces[f]) ? 1 : 0;
            }
            meshes[i].materialIndex = mesh->mMaterialIndex;
            meshes[i].indexCount = static_cast<std::uint32_t>(triangles * 3);
            meshes[i].baseVertex = static_cast<std::uint32_t>(vertexTotal);
            meshes[i].baseIndex = static_cast<std::uint32_t>(indexTotal);
            vertexTotal += mesh->mNumVertices;
            indexTotal += triangles * 3;
        }

        std::vector<glm::vec3> positions;
        std::vector<glm::vec3> normals;
        std::vector<glm::vec2> texCoords;
        std::vector<GLuint> indices;
        std::vector<glm::vec3> tangents;
        std::vector<glm::vec3> bitangents;
        positions.reserve(vertexTotal);
        normals.reserve(vertexTotal);
        texCoords.reserve(vertexTotal);
        indices.reserve(indexTotal);
        tangents.reserve(vertexTotal);
        bitangents.reserve(vertexTotal);

        for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
            const aiMesh* mesh = scene->mMeshes[i];
            size_t first = positions.size();
            for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                const aiVector3D& p = mesh->mVertices[v];
                positions.emplace_back(p.x, p.y, p.z);
                if (mesh->HasNormals()) {
                    const aiVector3D& n = mesh->mNormals[v];
                    normals.emplace_back(n.x, n.y, n.z);
                } else {
                    normals.emplace_back(0.0f, 1.0f, 0.0f);
                }
                if (mesh->HasTextureCoords(0)) {
                    const aiVector3D& t = mesh->mTextureCoords[0][v];
                    texCoords.emplace_back(t.x, t.y);
                } else {
                    texCoords.emplace_back(0.0f, 0.0f);
                }
            }
            // One basis per triangle, given to its three corners; a corner that two triangles
            // share (a triangulated quad) keeps the later one. Vertices of points and lines keep
            // a default basis.
            tangents.resize(positions.size(), glm::vec3(1, 0, 0));
            bitangents.resize(positions.size(), glm::vec3(0, 0, 1));
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                if (!isTriangle(mesh, face)) {
                    continue;
                }
                glm::vec3 corners[3];
                glm::vec2 cornerUvs[3];
                for (int c = 0; c < 3; ++c) {
                    indices.push_back(face.mIndices[c]);
                    corners[c] = positions[first + face.mIndices[c]];
                    cornerUvs[c] = texCoords[first + face.mIndices[c]];
                }
                glm::vec3 tangent;
                glm::vec3 bitangent;
                dusk::triangleTangentBasis(corners, cornerUvs, &tangent, &bitangent);
                for (int c = 0; c < 3; ++c) {
                    tangents[first + face.mIndices[c]] = tangent;
                    bitangents[first + face.mIndices[c]] = bitangent;
                }
            }
        }

        {
            colorTextures[0] = loadModelTexture(colorPath);
            if (colorTextures[0] != nullptr) {
                std::cout << "Loaded Texture: " << colorPath << std::endl;
            } else {
                std::printf("Error loading texture '%s'\n", colorPath.c_str());
                std::fflush(stdout);
            }
            if (!normalPath.empty()) {
                normalTexture = loadModelTexture(normalPath);
                if (normalTexture != nullptr) {
                    std::cout << "Loaded Normal Texture: " << normalPath << std::endl;
                } else {
                    std::printf("Error loading normal texture '%s'\n", normalPath.c_str());
                    std::fflush(stdout);
                }
            }
            if (!specularPath.empty()) {
                specularTexture = loadModelTexture(specularPath);
                if (specularTexture != nullptr) {
                    std::cout << "Loaded Specular Texture: " << specularPath << std::endl;
                } else {
                    std::printf("Error loading specular texture '%s'\n", specularPath.c_str());
                    std::fflush(stdout);
                }
            }
        }

        uploadStream(buffers[POSITION_BUFFER], GL_ARRAY_BUFFER, positions);
        describeStream(0, 3);
        uploadStream(buffers[TEXCOORD_BUFFER], GL_ARRAY_BUFFER, texCoords);
        describeStream(2, 2);
        uploadStream(buffers[NORMAL_BUFFER], GL_ARRAY_BUFFER, normals);
        describeStream(1, 3);
        uploadStream(buffers[INDEX_BUFFER], GL_ELEMENT_ARRAY_BUFFER, indices);
        uploadStream(buffers[TANGENT_BUFFER], GL_ARRAY_BUFFER, tangents);
        describeStream(3, 3);
        uploadStream(buffers[BITANGENT_BUFFER], GL_ARRAY_BUFFER, bitangents);
        describeStream(4, 3);
        loaded = glGetError() == GL_NO_ERROR;
        const char* const streams[BUFFER_COUNT] = {"indices", "positions", "normals",
                                                   "uvs",     "tangents",  "bitangents"};
        for (int i = 0; i < BUFFER_COUNT; ++i) {
            dusk::labelGlObject(GL_BUFFER, buffers[i], path + " " + streams[i]);
        }
        dusk::labelGlObject(GL_VERTEX_ARRAY, vertexArray, path);
    }
    glBindVertexArray(0);

    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    dusk::loadTimers.modelSeconds +=
        elapsed - (dusk::loadTimers.textureSeconds - textureSecondsBefore);
    return loaded;
}

void Model::draw() {
    glBindVertexArray(vertexArray);
    for (const Mesh& mesh : meshes) {
        // One colour texture per model: every mesh shows slot 0, whatever its material index.
        if (!colorTextures.empty() && colorTextures[0] != nullptr) {
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, colorTextures[0]->name);
        }
        if (normalTexture != nullptr) {
            glActiveTexture(GL_TEXTURE2);
            glBindTexture(GL_TEXTURE_2D, normalTexture->name);
        }
        if (specularTexture != nullptr) {
            glActiveTexture(GL_TEXTURE3);
            glBindTexture(GL_TEXTURE_2D, specularTexture->name);
        }
        glDrawElementsInstancedBaseVertex(
            GL_TRIANGLES, static_cast<GLsizei>(mesh.indexCount), GL_UNSIGNED_INT,
            reinterpret_cast<const void*>(static_cast<uintptr_t>(mesh.baseIndex) * 4), 1,
            static_cast<GLint>(mesh.baseVertex));
    }
    glBindVertexArray(0);
}

void Model::clear() {
    for (Texture*& texture : colorTextures) {
        delete texture;
        texture = nullptr;
    }
    delete normalTexture;
    normalTexture = nullptr;
    delete specularTexture;
    specularTexture = nullptr;
    if (buffers[0] != 0) {
        glDeleteBuffers(BUFFER_COUNT, buffers);
        for (GLuint& buffer : buffers) {
            buffer = 0;
        }
    }
    if (vertexArray != 0) {
        glDeleteVertexArrays(1, &vertexArray);
        vertexArray = 0;
    }
}
