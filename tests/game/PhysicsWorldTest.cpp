#include "game/PhysicsWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void expectVector(const btVector3& actual, float x, float y, float z, const char* what) {
    EXPECT_FLOAT_EQ(actual.x(), x) << what;
    EXPECT_FLOAT_EQ(actual.y(), y) << what;
    EXPECT_FLOAT_EQ(actual.z(), z) << what;
}

// Bodies made by a test leave the shared world again, so the other tests see it as it was.
class PhysicsWorldTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (btRigidBody* body : bodies) {
            getDynamicsWorld()->removeRigidBody(body);
        }
    }

    btRigidBody* make(btCollisionShape* shape, float mass, float x, float y, float z) {
        btRigidBody* body = createRigidBody(shape, mass, x, y, z);
        bodies.push_back(body);
        return body;
    }

    std::vector<btRigidBody*> bodies;
    btBoxShape box{btVector3(1.0f, 2.0f, 3.0f)};
};

TEST_F(PhysicsWorldTest, OneWorldWithStrongGravityAndTheLibrarysParts) {
    btDiscreteDynamicsWorld* world = getDynamicsWorld();
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(getDynamicsWorld(), world);
    expectVector(world->getGravity(), 0.0f, -200.0f, 0.0f, "gravity");

    EXPECT_NE(dynamic_cast<btDbvtBroadphase*>(world->getBroadphase()), nullptr);
    EXPECT_NE(dynamic_cast<btCollisionDispatcher*>(world->getDispatcher()), nullptr);
    ASSERT_NE(world->getConstraintSolver(), nullptr);
    EXPECT_EQ(world->getConstraintSolver()->getSolverType(), BT_SEQUENTIAL_IMPULSE_SOLVER);
}

TEST_F(PhysicsWorldTest, EveryBodyIsAddedToTheWorldWhereItWasAsked) {
    btDiscreteDynamicsWorld* world = getDynamicsWorld();
    const int before = world->getNumCollisionObjects();
    btRigidBody* first = make(&box, 0.0f, 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(world->getNumCollisionObjects(), before + 1);
    btRigidBody* second = make(&box, 0.0f, -4.0f, 5.0f, -6.0f);
    EXPECT_EQ(world->getNumCollisionObjects(), before + 2);
    EXPECT_NE(first, second);
    EXPECT_EQ(world->getCollisionObjectArray()[before], first);
    EXPECT_EQ(world->getCollisionObjectArray()[before + 1], second);

    // The shape stays the caller's; the body sits at its origin, unrotated, and its motion state
    // starts there too.
    EXPECT_EQ(second->getCollisionShape(), &box);
    const btTransform& placed = second->getWorldTransform();
    expectVector(placed.getOrigin(), -4.0f, 5.0f, -6.0f, "origin");
    btQuaternion rotation = placed.getRotation();
    EXPECT_FLOAT_EQ(rotation.w(), 1.0f);
    ASSERT_NE(second->getMotionState(), nullptr);
    btTransform fromMotionState;
    second->getMotionState()->getWorldTransform(fromMotionState);
    expectVector(fromMotionState.getOrigin(), -4.0f, 5.0f, -6.0f, "motion state");
}

TEST_F(PhysicsWorldTest, MassZeroIsStaticWithoutInertia) {
    btRigidBody* body = make(&box, 0.0f, 0.0f, 0.0f, 0.0f);
    expectVector(body->getLocalInertia(), 0.0f, 0.0f, 0.0f, "inertia");
    EXPECT_EQ(body->getInvMass(), 0.0f);
    EXPECT_TRUE(body->isStaticObject());
}

TEST_F(PhysicsWorldTest, MassGivesTheShapesInertiaAndTheLibrarysDefaults) {
    btRigidBody* body = make(&box, 2.0f, 0.0f, 0.0f, 0.0f);
    btVector3 expected(0, 0, 0);
    box.calculateLocalInertia(2.0f, expected);
    ASSERT_GT(expected.length(), 0.0f);
    expectVector(body->getLocalInertia(), expected.x(), expected.y(), expected.z(), "inertia");
    EXPECT_FLOAT_EQ(body->getInvMass(), 0.5f);
    EXPECT_FALSE(body->isStaticObject());

    btRigidBody::btRigidBodyConstructionInfo defaults(2.0f, nullptr, &box);
    EXPECT_EQ(body->getFriction(), defaults.m_friction);
    EXPECT_EQ(body->getRestitution(), defaults.m_restitution);
    EXPECT_EQ(body->getLinearDamping(), defaults.m_linearDamping);
    EXPECT_EQ(body->getAngularDamping(), defaults.m_angularDamping);
    EXPECT_EQ(body->getLinearSleepingThreshold(), defaults.m_linearSleepingThreshold);
    EXPECT_EQ(body->getAngularSleepingThreshold(), defaults.m_angularSleepingThreshold);
    // Default group and mask: a dynamic body collides with everything.
    ASSERT_NE(body->getBroadphaseHandle(), nullptr);
    EXPECT_EQ(body->getBroadphaseHandle()->m_collisionFilterGroup,
              btBroadphaseProxy::DefaultFilter);
    EXPECT_EQ(body->getBroadphaseHandle()->m_collisionFilterMask, btBroadphaseProxy::AllFilter);
}

// A free body falls v = 200 per second for each simulated second: the velocity shows how many
// fixed sub-steps of 1/60 s one frame took.
TEST_F(PhysicsWorldTest, AFrameStepsInSixtiethsOfASecondAtMostTenTimes) {
    btRigidBody* body = make(&box, 1.0f, 0.0f, 1000.0f, 0.0f);
    body->setActivationState(DISABLE_DEACTIVATION);

    stepPhysics(0.0f);
    expectVector(body->getLinearVelocity(), 0.0f, 0.0f, 0.0f, "after a frame of 0");

    stepPhysics(0.1f);
    EXPECT_NEAR(body->getLinearVelocity().y(), -200.0f * 6.0f / 60.0f, 1e-3f);

    body->setLinearVelocity(btVector3(0, 0, 0));
    stepPhysics(1.0f);
    EXPECT_NEAR(body->getLinearVelocity().y(), -200.0f * 10.0f / 60.0f, 1e-3f)
        << "a long frame is cut to ten sub-steps";
}

TEST_F(PhysicsWorldTest, GroundConstraintKeepsABodyFromFallingOrTipping) {
    btRigidBody* body = make(&box, 1.0f, 0.0f, 1000.0f, 0.0f);
    body->setLinearVelocity(btVector3(3.0f, 4.0f, 5.0f));
    constrainToGround(body);
    expectVector(body->getLinearFactor(), 1.0f, 0.0f, 1.0f, "linear factor");
    expectVector(body->getAngularFactor(), 0.0f, 1.0f, 0.0f, "angular factor");
    expectVector(body->getLinearVelocity(), 0.0f, 0.0f, 0.0f, "velocity");

    stepPhysics(0.5f);
    EXPECT_FLOAT_EQ(body->getWorldTransform().getOrigin().y(), 1000.0f);
}

TEST_F(PhysicsWorldTest, RearmingWakesAndStopsABody) {
    btRigidBody* body = make(&box, 1.0f, 0.0f, 1000.0f, 0.0f);
    body->setLinearVelocity(btVector3(7.0f, 0.0f, 0.0f));
    body->setActivationState(ISLAND_SLEEPING);
    ASSERT_FALSE(body->isActive());
    rearmBody(body);
    EXPECT_TRUE(body->isActive());
    expectVector(body->getLinearVelocity(), 0.0f, 0.0f, 0.0f, "velocity");

    // Without forcing: the static bodies of the scene sleep on, only their velocity is reset.
    btRigidBody* still = make(&box, 0.0f, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(still->getActivationState(), ISLAND_SLEEPING);
    rearmBody(still);
    EXPECT_EQ(still->getActivationState(), ISLAND_SLEEPING);
}

}  // namespace
