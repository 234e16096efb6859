#include "scene/Tree.h"
#include "support/GLContext.h"

#include <algorithm>

namespace {

using TreeGLTest = dusk::test::GLTest;

// Trees stand anywhere on the 350 x 350 ground but in the castle's clearing, the 80 x 80 square
// around the centre: none inside it, and its edge reached, over many placements.
TEST_F(TreeGLTest, TreesStandOnTheGroundOutsideTheCastlesClearing) {
    testing::internal::CaptureStdout();  // the loader's lines
    dusk::scene::Tree tree("Model/Object/tree1.obj", glm::mat4(1.0f), nullptr,
                           "Model/Image/tree1.png");
    testing::internal::GetCapturedStdout();
    float nearest = 1e9f;
    glm::vec2 lo(1e9f), hi(-1e9f);
    for (int i = 0; i < 5000; ++i) {
        tree.modelMatrix = glm::mat4(1.0f);
        tree.placeRandomly();
        const glm::vec2 spot(tree.modelMatrix[3].x, tree.modelMatrix[3].z);
        const float fromCentre = std::max(std::fabs(spot.x), std::fabs(spot.y));
        ASSERT_GE(fromCentre, 40.0f) << "a tree in the clearing at " << spot.x << " " << spot.y;
        nearest = std::min(nearest, fromCentre);
        lo = glm::min(lo, spot);
        hi = glm::max(hi, spot);
    }
    EXPECT_LT(nearest, 41.0f);
    EXPECT_TRUE(glm::all(glm::greaterThanEqual(lo, glm::vec2(-175.0f))) &&
                glm::all(glm::lessThan(lo, glm::vec2(-170.0f))));
    EXPECT_TRUE(glm::all(glm::lessThanEqual(hi, glm::vec2(175.0f))) &&
                glm::all(glm::greaterThan(hi, glm::vec2(170.0f))));
}

}  // namespace
