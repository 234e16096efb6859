#pragma once

#include <btBulletDynamicsCommon.h>

// The process-wide rigid-body world, made on the first call and kept until the process ends.
btDiscreteDynamicsWorld* getDynamicsWorld();

// A body of the shape at (x, y, z) with identity rotation, already added to the world. The caller
// keeps the shape; body and motion state live as long as the world.
btRigidBody* createRigidBody(btCollisionShape* shape, float mass, float x, float y, float z);

// The set-up every scene body gets: it slides in x and z, turns about y only, and rests.
void constrainToGround(btRigidBody* body);

// Wakes a body without forcing and stops it: the re-arming of trees and sky box.
void rearmBody(btRigidBody* body);

// One frame of simulation: at most 10 fixed sub-steps of 1/60 s.
void stepPhysics(float frameTime);
