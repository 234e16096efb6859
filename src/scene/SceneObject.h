#pragma once

#include <glm/glm.hpp>

class btRigidBody;

namespace dusk::scene {

// Anything placed in the scene: a model matrix and, for trees and the sky box, a rigid body.
class SceneObject {
public:
    explicit SceneObject(const glm::mat4& modelMatrix);
    virtual ~SceneObject() = default;

    virtual void update(float frameTime) = 0;
    virtual void draw() {}

    glm::mat4 modelMatrix;  // object to world; its translation column is the position
    btRigidBody* body;      // not owned; null unless the object stands in the physics world
    int worldDepth;         // extent of the playing area along z
    int worldWidth;         // extent of the playing area along x
};

// The translation column of a model matrix.
inline glm::vec3 positionOf(const glm::mat4& modelMatrix) {
    return glm::vec3(modelMatrix[3]);
}

}  // namespace dusk::scene
