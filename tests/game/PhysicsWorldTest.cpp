#include "game/PhysicsWorld.h"

#include <gtest/gtest.h>

namespace {

// A body falling freely gains 200/60 of speed per fixed step of 1/60 s, so its speed tells how
// many steps a frame took: as many as fit, never more than ten, whatever the frame time.
TEST(PhysicsWorldTest, AFrameTakesAtMostTenFixedSteps) {
    btBoxShape box(btVector3(1.0f, 1.0f, 1.0f));
    btRigidBody* body = createRigidBody(&box, 1.0f, 0.0f, 1000.0f, 0.0f);
    body->setActivationState(DISABLE_DEACTIVATION);
    for (auto [frameTime, steps] : {std::pair{0.0f, 0}, {0.1f, 6}, {1.0f, 10}}) {
        body->setLinearVelocity(btVector3(0, 0, 0));
        stepPhysics(frameTime);
        EXPECT_NEAR(body->getLinearVelocity().y(), -200.0f * float(steps) / 60.0f, 1e-3f)
            << frameTime;
    }
    getDynamicsWorld()->removeRigidBody(body);
}

}  // namespace
