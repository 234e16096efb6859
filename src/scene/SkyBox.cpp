#include "scene/SkyBox.h"

#include "game/PhysicsWorld.h"

namespace dusk::scene {

namespace {

// The plane y = 1 of the body's own frame, solid below.
btStaticPlaneShape* newPlaneShape() {
    return new btStaticPlaneShape(btVector3(0, 1, 0), 1.0f);
}

struct WallPlacement {
    float x, z;
    float yaw, pitch, roll;
};

}  // namespace

void createWalls(int width, btRigidBody* walls[4]) {
    // 1.57 rather than pi/2: the walls lean by 0.0008 rad, their normals keep a little upward part.
    const float h = static_cast<float>(width / 2);
    const WallPlacement placements[4] = {
        {0.0f, h, 0.0f, -1.57f, 0.0f},
        {0.0f, -h, 0.0f, 1.57f, 0.0f},
        {h, 0.0f, 0.0f, 0.0f, 1.57f},
        {-h, 0.0f, 0.0f, 0.0f, -1.57f},
    };
    for (int i = 0; i < 4; ++i) {
        const WallPlacement& wall = placements[i];
        walls[i] = createRigidBody(newPlaneShape(), 0.0f, wall.x, 0.0f, wall.z);
        btQuaternion rotation;
        rotation.setEuler(wall.yaw, wall.pitch, wall.roll);
        btTransform transform(rotation, btVector3(0, 0, 0));
        walls[i]->setCenterOfMassTransform(transform);
        walls[i]->getWorldTransform().getOrigin() += btVector3(wall.x, 0.0f, wall.z);
        constrainToGround(walls[i]);
    }
}

SkyBox::SkyBox(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
               const std::string& colorPath)
    : Object(modelPath, modelMatrix, shader, colorPath), walls{} {
    body = createRigidBody(newPlaneShape(), 0.0f, 0.0f, 0.0f, 0.0f);
    constrainToGround(body);
    createWalls(worldWidth, walls);
}

void SkyBox::update(float) {
    rearmBody(body);
    for (btRigidBody* wall : walls) {
        rearmBody(wall);
    }
}

}  // namespace dusk::scene
