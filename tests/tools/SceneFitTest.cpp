#include "AssetFiles.h"

#include "Trees.h"
#include "game/Game.h"
#include "render/Bezier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using dusk::assetgen::TreeAtlas;
using dusk::test::readTriangles;
using dusk::test::runModel;
using dusk::test::Triangle;

struct Bounds {
    glm::vec3 lo{1e9f}, hi{-1e9f};
    void add(const glm::vec3& p) {
        lo = glm::min(lo, p);
        hi = glm::max(hi, p);
    }
};

Bounds boundsOf(const std::vector<Triangle>& tris) {
    Bounds b;
    for (const Triangle& t : tris) {
        b.add(t.a);
        b.add(t.b);
        b.add(t.c);
    }
    return b;
}

glm::vec3 faceNormal(const Triangle& t) {
    return glm::cross(t.b - t.a, t.c - t.a);
}

TEST(SceneFitTest, GroundCoversThePlayingAreaAtHeightZero) {
    std::vector<Triangle> ground = readTriangles(runModel("ground20.obj"));
    ASSERT_FALSE(ground.empty());
    Bounds b = boundsOf(ground);
    // The scene scales the ground by (2.5, 1, 2.5).
    EXPECT_NEAR(b.lo.x * 2.5f, -175.0f, 0.01f);
    EXPECT_NEAR(b.hi.x * 2.5f, 175.0f, 0.01f);
    EXPECT_NEAR(b.lo.z * 2.5f, -175.0f, 0.01f);
    EXPECT_NEAR(b.hi.z * 2.5f, 175.0f, 0.01f);
    EXPECT_FLOAT_EQ(b.lo.y, 0.0f);
    EXPECT_FLOAT_EQ(b.hi.y, 0.0f);
    for (const Triangle& t : ground) {
        EXPECT_GT(faceNormal(t).y, 0.0f);  // seen from above with back faces culled
    }
}

TEST(SceneFitTest, GroundTextureRepeatsManyTimes) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(runModel("ground20.obj"), dusk::test::kLoaderFlags);
    ASSERT_NE(scene, nullptr);
    float lo = 1e9f, hi = -1e9f;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh* mesh = scene->mMeshes[m];
        for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
            lo = std::min(lo, mesh->mTextureCoords[0][v].x);
            hi = std::max(hi, mesh->mTextureCoords[0][v].x);
        }
    }
    EXPECT_GE(hi - lo, 20.0f);
    EXPECT_LE(hi - lo, 80.0f);
}

TEST(SceneFitTest, SkyBoxFacesInwardAndEnclosesTheWorld) {
    std::vector<Triangle> sky = readTriangles(runModel("skybox.obj"));
    ASSERT_EQ(sky.size(), 12u);
    Bounds b = boundsOf(sky);
    EXPECT_LT(b.hi.x, 1000.0f);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_LT(b.lo[axis], -175.0f);
        EXPECT_GT(b.hi[axis], 175.0f);
    }
    for (const Triangle& t : sky) {
        glm::vec3 centre = (t.a + t.b + t.c) / 3.0f;
        EXPECT_GT(glm::dot(faceNormal(t), -centre), 0.0f);
    }
}

TEST(SceneFitTest, SkyBoxStaysInsideTheFarPlaneAlongTheIntro) {
    std::vector<Triangle> sky = readTriangles(runModel("skybox.obj"));
    ASSERT_FALSE(sky.empty());
    Bounds b = boundsOf(sky);
    Game game(nullptr, false);
    float farthest = 0.0f;
    for (int i = 0; i <= 1000; ++i) {
        glm::vec3 eye = bezierPoint(game.cameraPath, clampPathParameter(i / 1000.0f));
        for (int axis = 0; axis < 3; ++axis) {
            // The eye stays well inside.
            EXPECT_GT(eye[axis] - b.lo[axis], 100.0f);
            EXPECT_GT(b.hi[axis] - eye[axis], 100.0f);
        }
        for (int c = 0; c < 8; ++c) {
            glm::vec3 corner(c & 1 ? b.hi.x : b.lo.x, c & 2 ? b.hi.y : b.lo.y,
                             c & 4 ? b.hi.z : b.lo.z);
            farthest = std::max(farthest, glm::length(corner - eye));
        }
    }
    // The far plane is at 1000: no part of the box may be clipped away.
    EXPECT_LT(farthest, 1000.0f);
}

struct TreeShape {
    float height, footX, footZ, lowWidth, highWidth;
};

// Height, where the foot is, and how wide the tree is in its lower and upper halves.
TreeShape shapeOf(const std::vector<Triangle>& tris) {
    Bounds b = boundsOf(tris);
    TreeShape s{b.hi.y, 0, 0, 0, 0};
    float mid = 0.5f * (b.hi.y + 3.0f);
    float footCount = 0.0f;
    for (const Triangle& t : tris) {
        for (const glm::vec3& p : {t.a, t.b, t.c}) {
            float r = std::hypot(p.x, p.z);
            if (p.y < 1.0f) {
                s.footX += p.x;
                s.footZ += p.z;
                footCount += 1.0f;
            } else if (p.y < mid) {
                s.lowWidth = std::max(s.lowWidth, r);
            } else {
                s.highWidth = std::max(s.highWidth, r);
            }
        }
    }
    if (footCount > 0) {
        s.footX /= footCount;
        s.footZ /= footCount;
    }
    return s;
}

TEST(SceneFitTest, TreesStandOnTheOriginWithTwoSilhouettes) {
    std::vector<Triangle> broad = readTriangles(runModel("tree1.obj"));
    std::vector<Triangle> fir = readTriangles(runModel("tree3.obj"));
    ASSERT_FALSE(broad.empty());
    ASSERT_FALSE(fir.empty());
    for (const auto* tree : {&broad, &fir}) {
        Bounds b = boundsOf(*tree);
        TreeShape s = shapeOf(*tree);
        EXPECT_GE(s.height, 10.0f);
        EXPECT_LE(s.height, 15.0f);
        EXPECT_LE(b.lo.y, 0.0f);  // the trunk reaches into the ground
        EXPECT_NEAR(s.footX, 0.0f, 0.1f);
        EXPECT_NEAR(s.footZ, 0.0f, 0.1f);
    }
    TreeShape b = shapeOf(broad), f = shapeOf(fir);
    // A round crown is widest high up, a fir low down.
    EXPECT_GT(b.highWidth, b.lowWidth);
    EXPECT_GT(f.lowWidth, f.highWidth);
}

TEST(SceneFitTest, FoliageCardsFaceBothWays) {
    for (const char* name : {"tree1.obj", "tree3.obj"}) {
        std::vector<Triangle> tris = readTriangles(runModel(name));
        ASSERT_FALSE(tris.empty());
        size_t cards = 0, twinned = 0;
        for (size_t i = 0; i < tris.size(); ++i) {
            const Triangle& t = tris[i];
            glm::vec3 centre = (t.a + t.b + t.c) / 3.0f;
            float u = (t.uv[0].x + t.uv[1].x + t.uv[2].x) / 3.0f;
            if (u < TreeAtlas::leafU0 || u > TreeAtlas::leafU1) {
                continue;  // bark
            }
            ++cards;
            glm::vec3 n = glm::normalize(faceNormal(t));
            for (const Triangle& o : tris) {
                glm::vec3 oc = (o.a + o.b + o.c) / 3.0f;
                if (glm::length(oc - centre) < 1e-3f &&
                    glm::dot(glm::normalize(faceNormal(o)), n) < -0.999f) {
                    ++twinned;
                    break;
                }
            }
        }
        EXPECT_GT(cards, 50u) << name;
        EXPECT_EQ(twinned, cards) << name;
    }
}

TEST(SceneFitTest, CastleStandsInsideTheTreeFreeSquareAndReachesBelowGround) {
    std::vector<Triangle> castle = readTriangles(runModel("castle.obj"));
    ASSERT_FALSE(castle.empty());
    Bounds b = boundsOf(castle);
    EXPECT_LT(b.lo.y, 0.0f);
    EXPECT_GT(b.lo.x, -40.0f);
    EXPECT_LT(b.hi.x, 40.0f);
    EXPECT_GT(b.lo.z, -40.0f);
    EXPECT_LT(b.hi.z, 40.0f);
    // Below the intro's high pass over the centre at about 31.
    EXPECT_LT(b.hi.y, 28.0f);
}

}  // namespace
