#include "AssetFiles.h"

#include "Generator.h"
#include "Trees.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Pixels of an image file as RGBA bytes, rows from the top; empty on failure.
std::vector<unsigned char> rgba(const std::string& path, size_t* width, size_t* height) {
    try {
        Magick::Image image(path);
        Magick::Blob blob;
        image.write(&blob, "RGBA", 8);
        *width = image.columns();
        *height = image.rows();
        const unsigned char* data = static_cast<const unsigned char*>(blob.data());
        return std::vector<unsigned char>(data, data + blob.length());
    } catch (const Magick::Exception&) {
        return {};
    }
}

TEST(AssetGeneratorTest, SecondRunWritesTheSameBytes) {
    // The build ran the generator into the run directory; run it again, later, elsewhere.
    std::string dir = std::string(DUSK_TEST_OUTPUT_DIR) + "/assetgen-again";
    fs::remove_all(dir);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // a different clock second
    std::string error;
    ASSERT_TRUE(dusk::assetgen::generateAssets(dir, &error)) << error;

    std::set<std::string> models, images;
    for (const std::string& name : dusk::assetgen::modelFiles()) {
        models.insert(name);
        std::string fresh = readBytes(dir + "/Model/Object/" + name);
        EXPECT_FALSE(fresh.empty()) << name;
        EXPECT_TRUE(fresh == readBytes(dusk::test::runModel(name))) << name << " differs";
    }
    for (const auto& image : dusk::assetgen::imageFiles()) {
        images.insert(image.name);
        std::string fresh = readBytes(dir + "/Model/Image/" + image.name);
        EXPECT_FALSE(fresh.empty()) << image.name;
        EXPECT_TRUE(fresh == readBytes(dusk::test::runImage(image.name)))
            << image.name << " differs";
    }
    EXPECT_EQ(namesIn(dir + "/Model/Object"), models);
    EXPECT_EQ(namesIn(dir + "/Model/Image"), images);
}

TEST(AssetGeneratorTest, NamesAreTheOnesTheSceneReads) {
    std::set<std::string> models(dusk::assetgen::modelFiles().begin(),
                                 dusk::assetgen::modelFiles().end());
    EXPECT_EQ(models, (std::set<std::string>{"castle.obj", "ground20.obj", "tree1.obj", "tree3.obj",
                                             "skybox.obj", "only_quad_sphere.obj"}));
    std::set<std::string> images;
    for (const auto& image : dusk::assetgen::imageFiles()) {
        images.insert(image.name);
    }
    EXPECT_EQ(images,
              (std::set<std::string>{"stone11.jpg", "stone11n.jpg", "stone11s.jpg", "ground19.jpg",
                                     "ground19n.jpg", "ground19s.jpg", "tree1.png", "skybox2.jpg",
                                     "est9.jpg", "nebular.png", "Light_Texture.png",
                                     "fire_atlas.png", "Default_NM.png", "Default_SM.png"}));
}

TEST(AssetGeneratorTest, PngFilesCarryNoTimeStamps) {
    for (const auto& image : dusk::assetgen::imageFiles()) {
        std::string name = image.name;
        if (name.size() < 4 || name.substr(name.size() - 4) != ".png") {
            continue;
        }
        std::string bytes = readBytes(dusk::test::runImage(name));
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes.find("tIME"), std::string::npos) << name;
        EXPECT_EQ(bytes.find("date:"), std::string::npos) << name;
    }
}

TEST(AssetGeneratorTest, EveryModelParsesAsTheLoaderReadsIt) {
    for (const std::string& name : dusk::assetgen::modelFiles()) {
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFile(dusk::test::runModel(name), dusk::test::kLoaderFlags);
        ASSERT_NE(scene, nullptr) << name << ": " << importer.GetErrorString();
        ASSERT_GT(scene->mNumMeshes, 0u) << name;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            // The loader keeps one colour texture, in slot 0.
            EXPECT_EQ(mesh->mMaterialIndex, 0u) << name;
            ASSERT_TRUE(mesh->HasTextureCoords(0)) << name;
            ASSERT_TRUE(mesh->HasNormals()) << name;
            for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                const aiVector3D& n = mesh->mNormals[v];
                ASSERT_NEAR(n.Length(), 1.0f, 1e-3f) << name << " vertex " << v;
            }
        }
    }
}

TEST(AssetGeneratorTest, DrawnModelsGiveEveryTriangleItsOwnVerticesAndATangentFrame) {
    // The loader computes tangents over consecutive vertex triples from the texture
    // coordinates: each triangle needs its own three vertices and non-degenerate coordinates.
    for (const char* name :
         {"castle.obj", "ground20.obj", "tree1.obj", "tree3.obj", "skybox.obj"}) {
        Assimp::Importer importer;
        const aiScene* scene =
            importer.ReadFile(dusk::test::runModel(name), dusk::test::kLoaderFlags);
        ASSERT_NE(scene, nullptr) << name;
        for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
            const aiMesh* mesh = scene->mMeshes[m];
            ASSERT_EQ(mesh->mNumVertices, mesh->mNumFaces * 3) << name;
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                const aiFace& face = mesh->mFaces[f];
                ASSERT_EQ(face.mNumIndices, 3u) << name;
                for (unsigned k = 0; k < 3; ++k) {
                    ASSERT_EQ(face.mIndices[k], 3 * f + k) << name << " face " << f;
                }
                const aiVector3D* uv = mesh->mTextureCoords[0];
                aiVector3D d1 = uv[3 * f + 1] - uv[3 * f], d2 = uv[3 * f + 2] - uv[3 * f];
                float det = d1.x * d2.y - d1.y * d2.x;
                EXPECT_GT(std::fabs(det), 1e-7f) << name << " face " << f;
            }
        }
    }
}

TEST(AssetGeneratorTest, EveryImageHasItsSize) {
    for (const auto& image : dusk::assetgen::imageFiles()) {
        Magick::Image file;
        try {
            file.ping(dusk::test::runImage(image.name));
        } catch (const Magick::Exception& e) {
            ADD_FAILURE() << image.name << ": " << e.what();
            continue;
        }
        EXPECT_EQ(file.columns(), static_cast<size_t>(image.width)) << image.name;
        EXPECT_EQ(file.rows(), static_cast<size_t>(image.height)) << image.name;
    }
}

TEST(AssetGeneratorTest, DefaultMapsAreFlatAndUniform) {
    size_t w = 0, h = 0;
    std::vector<unsigned char> nm = rgba(dusk::test::runImage("Default_NM.png"), &w, &h);
    ASSERT_EQ(nm.size(), w * h * 4);
    ASSERT_GT(nm.size(), 0u);
    std::vector<unsigned char> sm = rgba(dusk::test::runImage("Default_SM.png"), &w, &h);
    ASSERT_EQ(sm.size(), w * h * 4);
    for (size_t i = 0; i < nm.size(); i += 4) {
        EXPECT_EQ(nm[i], 128);
        EXPECT_EQ(nm[i + 1], 128);
        EXPECT_EQ(nm[i + 2], 255);
        EXPECT_EQ(sm[i], sm[0]);
        EXPECT_EQ(sm[i + 1], sm[0]);
    }
    EXPECT_GT(sm[0], 0);
    EXPECT_LT(sm[0], 255);
}

// Alpha of pixel (x, y).
unsigned char alphaAt(const std::vector<unsigned char>& px, size_t width, size_t x, size_t y) {
    return px[(y * width + x) * 4 + 3];
}

TEST(AssetGeneratorTest, FireAtlasCellsStayInsideTheirCells) {
    size_t w = 0, h = 0;
    std::vector<unsigned char> px = rgba(dusk::test::runImage("fire_atlas.png"), &w, &h);
    ASSERT_EQ(px.size(), w * h * 4);
    ASSERT_GT(w, 0u);
    size_t cell = w / 8;
    int strongest = 0, opaqueCells = 0;
    for (size_t c = 0; c < 64; ++c) {
        size_t x0 = (c % 8) * cell, y0 = (c / 8) * cell;
        int maxAlpha = 0;
        for (size_t i = 0; i < cell; ++i) {
            // Filtering reads across cell borders: the frame edges must be empty.
            for (size_t e : {size_t(0), size_t(1), cell - 2, cell - 1}) {
                EXPECT_EQ(alphaAt(px, w, x0 + i, y0 + e), 0) << "cell " << c;
                EXPECT_EQ(alphaAt(px, w, x0 + e, y0 + i), 0) << "cell " << c;
            }
            for (size_t j = 0; j < cell; ++j) {
                maxAlpha = std::max<int>(maxAlpha, alphaAt(px, w, x0 + i, y0 + j));
            }
        }
        if (c == 0) {
            // Shown once more after the last frame: only a faint spark.
            EXPECT_LT(maxAlpha, 80);
        } else if (maxAlpha > 200) {
            ++opaqueCells;
        }
        strongest = std::max(strongest, maxAlpha);
    }
    EXPECT_GT(opaqueCells, 16);
    EXPECT_GT(strongest, 240);
}

TEST(AssetGeneratorTest, GlowCoreIsOpaqueAndSpritesFadeAtTheirRims) {
    size_t w = 0, h = 0;
    std::vector<unsigned char> glow = rgba(dusk::test::runImage("Light_Texture.png"), &w, &h);
    ASSERT_EQ(glow.size(), w * h * 4);
    ASSERT_GT(w, 0u);
    // Alpha 1 in the middle is what marks the glow as a lens-flare source.
    EXPECT_EQ(alphaAt(glow, w, w / 2, h / 2), 255);
    EXPECT_EQ(alphaAt(glow, w, 0, 0), 0);
    EXPECT_EQ(alphaAt(glow, w, w / 2, 0), 0);
    std::vector<unsigned char> nebula = rgba(dusk::test::runImage("nebular.png"), &w, &h);
    ASSERT_EQ(nebula.size(), w * h * 4);
    int centre = 0;
    for (size_t i = 0; i < w; ++i) {
        EXPECT_EQ(alphaAt(nebula, w, i, 0), 0);
        EXPECT_EQ(alphaAt(nebula, w, i, h - 1), 0);
        EXPECT_EQ(alphaAt(nebula, w, 0, i), 0);
        EXPECT_EQ(alphaAt(nebula, w, w - 1, i), 0);
        centre = std::max<int>(centre, alphaAt(nebula, w, i, h / 2));
    }
    EXPECT_GT(centre, 30);  // visible, yet faint enough to stack into a mist
}

TEST(AssetGeneratorTest, TreeAtlasHasOpaqueBarkAndCutOutFoliage) {
    size_t w = 0, h = 0;
    std::vector<unsigned char> px = rgba(dusk::test::runImage("tree1.png"), &w, &h);
    ASSERT_EQ(px.size(), w * h * 4);
    ASSERT_GT(w, 0u);
    using dusk::assetgen::TreeAtlas;
    size_t leaves = 0, clear = 0, other = 0;
    for (size_t y = 0; y < h; ++y) {
        for (size_t x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w;
            unsigned char a = alphaAt(px, w, x, y);
            if (u < TreeAtlas::barkU1 || u > TreeAtlas::leafU1) {
                ASSERT_EQ(a, 255) << x << ", " << y;  // bark, also where the strip wraps
            } else if (u > TreeAtlas::leafU0 && u < TreeAtlas::leafU1) {
                if (a == 0) {
                    ++clear;
                } else if (a >= 225 && a <= 235) {
                    ++leaves;  // the foliage mark the lit shader reads
                } else {
                    ++other;
                }
            }
        }
    }
    EXPECT_GT(leaves, w * h / 10);
    EXPECT_GT(clear, w * h / 10);
    EXPECT_LT(other, (leaves + clear) / 20);
}

}  // namespace
