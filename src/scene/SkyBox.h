#pragma once

#include "scene/Object.h"

namespace dusk::scene {

// The sky, and the bounds of the playing area: the ground plane (in `body`) and four walls,
// all static planes in the physics world.
class SkyBox : public Object {
public:
    SkyBox(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
           const std::string& colorPath);

    void update(float frameTime) override;

    btRigidBody* walls[4];  // not owned: +z, -z, +x, -x
};

// The four walls of a playing area `width` wide, at +-width / 2 in integer division, stored in
// the order +z, -z, +x, -x. The sky box builds its walls with its own worldWidth.
void createWalls(int width, btRigidBody* walls[4]);

}  // namespace dusk::scene
