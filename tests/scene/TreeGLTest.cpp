#include "scene/Tree.h"
#include "support/GLContext.h"

#include <algorithm>

namespace {

using TreeGLTest = dusk::test::GLTest;

// No tree stands in the castle's clearing, the 80 x 80 square around the centre, and over many
// placements the trees reach its edge.
TEST_F(TreeGLTest, TreesStandOutsideTheCastlesClearing) {
    testing::internal::CaptureStdout();  // the loader's lines
    dusk::scene::Tree tree("Model/Object/tree1.obj", glm::mat4(1.0f), nullptr,
                           "Model/Image/tree1.png");
    testing::internal::GetCapturedStdout();
    float nearest = 1e9f;
    for (int i = 0; i < 5000; ++i) {
        tree.modelMatrix = glm::mat4(1.0f);
        tree.placeRandomly();
        const glm::vec4 at = tree.modelMatrix[3];
        nearest = std::min(nearest, std::max(std::fabs(at.x), std::fabs(at.z)));
        ASSERT_GE(nearest, 40.0f) << "a tree in the clearing at " << at.x << " " << at.z;
    }
    EXPECT_LT(nearest, 41.0f);
}

}  // namespace
