#include "scene/SkyBox.h"

#include "assets/Model.h"
#include "game/PhysicsWorld.h"
#include "game/SceneAssemblyContent.h"
#include "render/ShaderProgram.h"
#include "support/GLContext.h"

#include <glm/glm.hpp>

#include <set>

namespace {

using dusk::scene::SkyBox;

// The nearest hit among the given bodies only: other tests of this program may have left trees
// and walls of their own in the one world.
struct HitAmong : btCollisionWorld::ClosestRayResultCallback {
    HitAmong(const btVector3& from, const btVector3& to, std::set<const btCollisionObject*> bodies)
        : ClosestRayResultCallback(from, to), bodies(std::move(bodies)) {}
    bool needsCollision(btBroadphaseProxy* proxy) const override {
        auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        return bodies.count(object) != 0 && ClosestRayResultCallback::needsCollision(proxy);
    }
    std::set<const btCollisionObject*> bodies;
};

HitAmong castRay(const btVector3& to, const std::set<const btCollisionObject*>& bodies) {
    const btVector3 from(0, 10, 0);
    HitAmong hit(from, to, bodies);
    getDynamicsWorld()->rayTest(from, to, hit);
    return hit;
}

class SkyBoxGLTest : public dusk::test::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        content = std::make_unique<dusk::test::SceneContentDirectory>(
            "skybox-" + dusk::test::currentTestName());
        sky = new ShaderProgram("Dusklorne/Shader/blinnphong.vert", "Dusklorne/Shader/sky.frag");
    }

    std::unique_ptr<dusk::test::SceneContentDirectory> content;
    ShaderProgram* sky = nullptr;  // lives on, as every program of the game does
};

TEST_F(SkyBoxGLTest, GroundAndFourWallsBoundThePlayingArea) {
    btDiscreteDynamicsWorld* world = getDynamicsWorld();
    const int before = world->getNumCollisionObjects();
    auto* skyBox =
        new SkyBox("Model/Object/skybox.obj", glm::mat4(1.0f), sky, "Model/Image/skybox2.jpg");

    ASSERT_EQ(world->getNumCollisionObjects(), before + 5);
    std::set<const btCollisionObject*> bodies;
    for (int i = before; i < before + 5; ++i) {
        const btCollisionObject* object = world->getCollisionObjectArray()[i];
        EXPECT_TRUE(object->isStaticObject()) << "body " << i - before;
        EXPECT_EQ(btRigidBody::upcast(object)->getInvMass(), 0.0f);
        EXPECT_EQ(object->getCollisionShape()->getShapeType(), STATIC_PLANE_PROXYTYPE);
        bodies.insert(object);
    }
    ASSERT_NE(skyBox->body, nullptr);
    EXPECT_EQ(bodies.count(skyBox->body), 1u);
    for (btRigidBody* wall : skyBox->walls) {
        EXPECT_EQ(bodies.count(wall), 1u);
    }
    // Every body is its own plane, not one shape shared.
    std::set<const btCollisionShape*> shapes;
    for (const btCollisionObject* object : bodies) {
        shapes.insert(object->getCollisionShape());
    }
    EXPECT_EQ(shapes.size(), 5u);

    HitAmong plusZ = castRay(btVector3(0, 10, 1000), bodies);
    ASSERT_TRUE(plusZ.hasHit());
    EXPECT_EQ(plusZ.m_collisionObject, skyBox->walls[0]);
    EXPECT_NEAR(plusZ.m_hitPointWorld.z(), 174.0f, 0.05f);
    // 1.57, not pi/2: the wall leans and its normal keeps a small upward part.
    EXPECT_NEAR(plusZ.m_hitNormalWorld.z(), -1.0f, 1e-4f);
    EXPECT_NEAR(plusZ.m_hitNormalWorld.y(), 0.0008f, 0.0002f);

    HitAmong minusX = castRay(btVector3(-1000, 10, 0), bodies);
    ASSERT_TRUE(minusX.hasHit());
    EXPECT_EQ(minusX.m_collisionObject, skyBox->walls[3]);
    EXPECT_NEAR(minusX.m_hitPointWorld.x(), -174.0f, 0.05f);
    EXPECT_NEAR(minusX.m_hitNormalWorld.x(), 1.0f, 1e-4f);

    HitAmong minusZ = castRay(btVector3(0, 10, -1000), bodies);
    ASSERT_TRUE(minusZ.hasHit());
    EXPECT_EQ(minusZ.m_collisionObject, skyBox->walls[1]);
    EXPECT_NEAR(minusZ.m_hitPointWorld.z(), -174.0f, 0.05f);

    HitAmong plusX = castRay(btVector3(1000, 10, 0), bodies);
    ASSERT_TRUE(plusX.hasHit());
    EXPECT_EQ(plusX.m_collisionObject, skyBox->walls[2]);
    EXPECT_NEAR(plusX.m_hitPointWorld.x(), 174.0f, 0.05f);

    HitAmong down = castRay(btVector3(0, -1000, 0), bodies);
    ASSERT_TRUE(down.hasHit());
    EXPECT_EQ(down.m_collisionObject, skyBox->body);
    EXPECT_NEAR(down.m_hitPointWorld.y(), 1.0f, 1e-4f);
    EXPECT_NEAR(down.m_hitNormalWorld.y(), 1.0f, 1e-6f);

    // The walls keep their place origin P and the set-up of every scene body.
    const btVector3 origins[4] = {{0, 0, 175}, {0, 0, -175}, {175, 0, 0}, {-175, 0, 0}};
    for (int i = 0; i < 4; ++i) {
        btRigidBody* wall = skyBox->walls[i];
        EXPECT_EQ(wall->getWorldTransform().getOrigin(), origins[i]) << "wall " << i;
        EXPECT_EQ(wall->getLinearFactor(), btVector3(1, 0, 1));
        EXPECT_EQ(wall->getAngularFactor(), btVector3(0, 1, 0));
    }
    EXPECT_EQ(skyBox->model->meshes.size(), 1u) << "the sky box draws its own model";
    EXPECT_EQ(skyBox->shader, sky);
}

TEST_F(SkyBoxGLTest, UpdateStopsEveryBoundaryBody) {
    auto* skyBox =
        new SkyBox("Model/Object/skybox.obj", glm::mat4(1.0f), sky, "Model/Image/skybox2.jpg");
    skyBox->body->setLinearVelocity(btVector3(1, 2, 3));
    for (btRigidBody* wall : skyBox->walls) {
        wall->setLinearVelocity(btVector3(4, 5, 6));
    }
    skyBox->update(0.016f);
    EXPECT_EQ(skyBox->body->getLinearVelocity(), btVector3(0, 0, 0));
    for (btRigidBody* wall : skyBox->walls) {
        EXPECT_EQ(wall->getLinearVelocity(), btVector3(0, 0, 0));
    }
}

TEST(SkyBoxWallsTest, OddWidthIsHalvedInIntegers) {
    btDiscreteDynamicsWorld* world = getDynamicsWorld();
    const int before = world->getNumCollisionObjects();
    btRigidBody* walls[4] = {};
    dusk::scene::createWalls(351, walls);
    ASSERT_EQ(world->getNumCollisionObjects(), before + 4);

    const btVector3 origins[4] = {{0, 0, 175}, {0, 0, -175}, {175, 0, 0}, {-175, 0, 0}};
    std::set<const btCollisionObject*> bodies;
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(walls[i], nullptr);
        EXPECT_EQ(walls[i]->getWorldTransform().getOrigin(), origins[i]) << "wall " << i;
        bodies.insert(walls[i]);
    }
    HitAmong plusZ = castRay(btVector3(0, 10, 1000), bodies);
    ASSERT_TRUE(plusZ.hasHit());
    EXPECT_NEAR(plusZ.m_hitPointWorld.z(), 174.0f, 0.05f);
    HitAmong minusX = castRay(btVector3(-1000, 10, 0), bodies);
    ASSERT_TRUE(minusX.hasHit());
    EXPECT_NEAR(minusX.m_hitPointWorld.x(), -174.0f, 0.05f);
}

}  // namespace
