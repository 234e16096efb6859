#include "scene/Tree.h"

#include "assets/Model.h"
#include "game/PhysicsWorld.h"
#include "game/SceneAssemblyContent.h"
#include "render/ShaderProgram.h"
#include "scene/Random.h"
#include "support/GLContext.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <set>
#include <sstream>
#include <vector>

namespace {

using dusk::scene::positionOf;
using dusk::scene::Tree;

int countLinesStartingWith(const std::string& text, const std::string& prefix) {
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    }
    return count;
}

class TreeGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        content = std::make_unique<dusk::test::SceneContentDirectory>(
            "tree-" + dusk::test::currentTestName());
        shader = new ShaderProgram("Dusklorne/Shader/blinnphong.vert",
                                   "Dusklorne/Shader/blinnphong.frag");
        dusk::resetRandom();
    }
    void TearDown() override {
        dusk::resetRandom();
        GLTest::TearDown();
    }

    Tree* makeTemplate(const std::string& model, const glm::mat4& matrix = glm::mat4(1.0f)) {
        return new Tree("Model/Object/" + model, matrix, shader, "Model/Image/tree1.png");
    }

    std::unique_ptr<dusk::test::SceneContentDirectory> content;
    ShaderProgram* shader = nullptr;
};

TEST_F(TreeGLTest, TemplateLoadsButIsNeitherPlacedNorABody) {
    const glm::mat4 matrix = glm::translate(glm::mat4(1.0f), glm::vec3(3, 4, 5));
    const int before = getDynamicsWorld()->getNumCollisionObjects();
    Tree* templateTree = makeTemplate("tree1.obj", matrix);
    EXPECT_EQ(templateTree->body, nullptr);
    EXPECT_EQ(templateTree->modelMatrix, matrix);
    EXPECT_EQ(templateTree->trunkHalfHeight, 5.0);
    EXPECT_EQ(templateTree->trunkRadius, 0.5);
    EXPECT_EQ(getDynamicsWorld()->getNumCollisionObjects(), before);
    EXPECT_EQ(dusk::randomDrawCount(), 0u) << "a template takes no place";
    EXPECT_EQ(templateTree->model->meshes.size(), 1u);
}

TEST_F(TreeGLTest, CentralSpotIsRejectedAndDrawnAgain) {
    Tree* templateTree = makeTemplate("tree1.obj");
    // x ~ 0 and z ~ 0 lie in the open centre; the next two results give (-175, 175).
    dusk::scriptRandom({16383, 16383, 0, 32767});
    Tree placed(*templateTree);
    EXPECT_EQ(dusk::randomDrawCount(), 4u);
    EXPECT_EQ(positionOf(placed.modelMatrix), glm::vec3(-175.0f, 0.0f, 175.0f));

    // Only one of |x| and |z| has to reach 40.
    dusk::resetRandom();
    dusk::scriptRandom({16383, 32767});
    Tree edge(*templateTree);
    EXPECT_EQ(dusk::randomDrawCount(), 2u);
    glm::vec3 position = positionOf(edge.modelMatrix);
    EXPECT_NEAR(position.x, 0.0f, 0.01f);
    EXPECT_EQ(position.z, 175.0f);
}

TEST_F(TreeGLTest, SpotWithXExactlyFortyIsAccepted) {
    Tree* templateTree = makeTemplate("tree1.obj");
    Tree tree(*templateTree);
    // Over an area 80 wide a result of 0 is exactly -40: the rejection must be strict.
    tree.worldWidth = 80;
    tree.modelMatrix = glm::mat4(1.0f);
    dusk::resetRandom();
    dusk::scriptRandom({0, 16383, 32767, 32767});
    tree.placeRandomly();
    EXPECT_EQ(dusk::randomDrawCount(), 2u);
    glm::vec3 position = positionOf(tree.modelMatrix);
    EXPECT_EQ(position.x, -40.0f);
    EXPECT_NEAR(position.z, 0.0f, 0.01f);
}

TEST_F(TreeGLTest, PlacementMovesTheTreeInItsOwnFrame) {
    // Rotated a quarter turn about y, the offset (x, 0, z) turns with the template.
    glm::mat4 turned = glm::rotate(glm::mat4(1.0f), glm::radians(90.0f), glm::vec3(0, 1, 0));
    Tree* templateTree = makeTemplate("tree1.obj", turned);
    dusk::scriptRandom({32767, 0});  // (175, -175) in the tree's frame
    Tree tree(*templateTree);
    glm::vec3 expected = glm::vec3(turned * glm::vec4(175.0f, 0.0f, -175.0f, 1.0f));
    glm::vec3 position = positionOf(tree.modelMatrix);
    EXPECT_NEAR(position.x, expected.x, 1e-3f);
    EXPECT_NEAR(position.z, expected.z, 1e-3f);
}

TEST_F(TreeGLTest, TrunkIsAStaticUprightCylinderUnderTheTree) {
    // A template at (-75, 0, 115) and the results 32767, 0 put the tree at (100, 0, -60).
    Tree* templateTree =
        makeTemplate("tree1.obj", glm::translate(glm::mat4(1.0f), glm::vec3(-75, 0, 115)));
    btDiscreteDynamicsWorld* world = getDynamicsWorld();
    const int before = world->getNumCollisionObjects();
    dusk::scriptRandom({32767, 0});
    Tree tree(*templateTree);
    ASSERT_EQ(positionOf(tree.modelMatrix), glm::vec3(100.0f, 0.0f, -60.0f));

    ASSERT_NE(tree.body, nullptr);
    EXPECT_EQ(world->getNumCollisionObjects(), before + 1);
    EXPECT_EQ(world->getCollisionObjectArray()[before], tree.body);
    EXPECT_EQ(tree.body->getWorldTransform().getOrigin(), btVector3(100, 5, -60));
    EXPECT_TRUE(tree.body->isStaticObject());
    EXPECT_EQ(tree.body->getInvMass(), 0.0f);
    EXPECT_EQ(tree.body->getLinearFactor(), btVector3(1, 0, 1));
    EXPECT_EQ(tree.body->getAngularFactor(), btVector3(0, 1, 0));
    EXPECT_EQ(tree.body->getLinearVelocity(), btVector3(0, 0, 0));

    ASSERT_EQ(tree.body->getCollisionShape()->getShapeType(), CYLINDER_SHAPE_PROXYTYPE);
    auto* trunk = static_cast<btCylinderShape*>(tree.body->getCollisionShape());
    EXPECT_EQ(trunk->getUpAxis(), 1);
    // The shape keeps its historical half extents (0.5, 5, 5), not (0.5, 5, 0.5).
    btVector3 half = trunk->getHalfExtentsWithMargin();
    EXPECT_NEAR(half.x(), 0.5f, 1e-5f);
    EXPECT_NEAR(half.y(), 5.0f, 1e-5f);
    EXPECT_NEAR(half.z(), 5.0f, 1e-5f);

    // The trunk reaches from the ground (y = 0) to y = 10 under the tree.
    btCollisionWorld::ClosestRayResultCallback fromAbove(btVector3(100, 50, -60),
                                                         btVector3(100, -50, -60));
    world->rayTest(fromAbove.m_rayFromWorld, fromAbove.m_rayToWorld, fromAbove);
    ASSERT_TRUE(fromAbove.hasHit());
    EXPECT_EQ(fromAbove.m_collisionObject, tree.body);
    EXPECT_NEAR(fromAbove.m_hitPointWorld.y(), 10.0f, 0.05f);

    tree.body->setLinearVelocity(btVector3(1, 1, 1));
    tree.update(0.1f);
    EXPECT_EQ(tree.body->getLinearVelocity(), btVector3(0, 0, 0));
    EXPECT_EQ(tree.body->getWorldTransform().getOrigin(), btVector3(100, 5, -60));
}

// The assembly's forest: two templates, twenty placed trees from each.
std::vector<Tree*> plantForest(Tree* first, Tree* second) {
    std::vector<Tree*> trees;
    for (Tree* templateTree : {first, second}) {
        for (int i = 0; i < 20; ++i) {
            trees.push_back(new Tree(*templateTree));
        }
    }
    return trees;
}

TEST_F(TreeGLTest, FortyTreesShareTwoModelLoadsAndStayOutOfTheCentre) {
    testing::internal::CaptureStdout();
    Tree* first = makeTemplate("tree1.obj");
    Tree* second = makeTemplate("tree3.obj");
    std::vector<Tree*> trees = plantForest(first, second);
    std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(countLinesStartingWith(output, "Loaded Texture: "), 2) << output;
    ASSERT_EQ(trees.size(), 40u);
    std::set<const btRigidBody*> bodies;
    for (size_t i = 0; i < trees.size(); ++i) {
        Tree* tree = trees[i];
        EXPECT_EQ(tree->model, i < 20 ? first->model : second->model) << "tree " << i;
        EXPECT_EQ(tree->shader, shader);
        glm::vec3 position = positionOf(tree->modelMatrix);
        EXPECT_FALSE(std::fabs(position.x) < 40.0f && std::fabs(position.z) < 40.0f)
            << "tree " << i << " at " << position.x << ", " << position.z;
        EXPECT_LE(std::fabs(position.x), 175.0f);
        EXPECT_LE(std::fabs(position.z), 175.0f);
        EXPECT_EQ(position.y, 0.0f);
        bodies.insert(tree->body);
    }
    EXPECT_EQ(bodies.size(), 40u) << "every tree has a trunk of its own";

    // A placed tree never frees the shared model: the template still draws after they go.
    for (int i = 0; i < 20; ++i) {
        delete trees[i];
    }
    EXPECT_EQ(first->model->meshes.size(), 1u);
    first->draw();
}

TEST_F(TreeGLTest, LayoutIsTheSameOnEveryRun) {
    auto layout = [this]() {
        dusk::resetRandom();
        std::vector<glm::vec3> positions;
        for (Tree* tree : plantForest(makeTemplate("tree1.obj"), makeTemplate("tree3.obj"))) {
            positions.push_back(positionOf(tree->modelMatrix));
        }
        return positions;
    };
    std::vector<glm::vec3> first = layout();
    std::vector<glm::vec3> second = layout();
    EXPECT_EQ(first, second);
    // Not one spot forty times: every tree drew a place of its own.
    std::set<std::pair<float, float>> spots;
    for (const glm::vec3& position : first) {
        spots.insert({position.x, position.z});
    }
    EXPECT_GT(spots.size(), 30u);
}

}  // namespace
