#include "game/PhysicsWorld.h"

namespace {

btDiscreteDynamicsWorld* dynamicsWorld = nullptr;

}  // namespace

btDiscreteDynamicsWorld* getDynamicsWorld() {
    if (dynamicsWorld != nullptr) {
        return dynamicsWorld;
    }
    auto* broadphase = new btDbvtBroadphase();
    auto* configuration = new btDefaultCollisionConfiguration(btDefaultCollisionConstructionInfo());
    auto* dispatcher = new btCollisionDispatcher(configuration);
    auto* solver = new btSequentialImpulseConstraintSolver();
    dynamicsWorld = new btDiscreteDynamicsWorld(dispatcher, broadphase, solver, configuration);
    dynamicsWorld->setGravity(btVector3(0, -200, 0));
    return dynamicsWorld;
}

btRigidBody* createRigidBody(btCollisionShape* shape, float mass, float x, float y, float z) {
    btTransform transform;
    transform.setIdentity();
    transform.setOrigin(btVector3(x, y, z));

    btVector3 inertia(0, 0, 0);
    if (mass != 0.0f) {
        shape->calculateLocalInertia(mass, inertia);
    }
    auto* motionState = new btDefaultMotionState(transform, btTransform::getIdentity());
    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, shape, inertia);
    auto* body = new btRigidBody(info);
    getDynamicsWorld()->addRigidBody(body);
    return body;
}

void constrainToGround(btRigidBody* body) {
    body->setLinearFactor(btVector3(1, 0, 1));
    body->setAngularFactor(btVector3(0, 1, 0));
    body->setLinearVelocity(btVector3(0, 0, 0));
}

void rearmBody(btRigidBody* body) {
    body->activate(false);
    body->setLinearVelocity(btVector3(0, 0, 0));
}

void stepPhysics(float frameTime) {
    getDynamicsWorld()->stepSimulation(frameTime, 10, 1.0f / 60.0f);
}
