#include "scene/Tree.h"

#include "game/PhysicsWorld.h"
#include "scene/Random.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace dusk::scene {

Tree::Tree(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
           const std::string& colorPath)
    : Object(modelPath, modelMatrix, shader, colorPath), trunkHalfHeight(5.0), trunkRadius(0.5) {}

Tree::Tree(const Tree& templateTree)
    : Object(templateTree.modelMatrix, templateTree.model, templateTree.shader),
      trunkHalfHeight(5.0), trunkRadius(0.5) {
    placeRandomly();
    // The half extents keep the trunk's historical (0.5, 5, 5): only x and y shape an upright
    // cylinder about y.
    auto* trunk = new btCylinderShape(btVector3(static_cast<float>(trunkRadius),
                                                static_cast<float>(trunkHalfHeight),
                                                static_cast<float>(trunkHalfHeight)));
    glm::vec3 position = positionOf(modelMatrix);
    body =
        createRigidBody(trunk, 0.0f, position.x, static_cast<float>(trunkHalfHeight), position.z);
    constrainToGround(body);
}

void Tree::update(float) {
    if (body != nullptr) {
        rearmBody(body);
    }
}

void Tree::placeRandomly() {
    float x = 0.0f;
    float z = 0.0f;
    do {
        x = static_cast<float>(nextRandom()) / 32767.0f * static_cast<float>(worldWidth) -
            static_cast<float>(worldWidth / 2);
        z = static_cast<float>(nextRandom()) / 32767.0f * static_cast<float>(worldDepth) -
            static_cast<float>(worldDepth / 2);
    } while (std::fabs(x) < 40.0f && std::fabs(z) < 40.0f);
    modelMatrix = glm::translate(modelMatrix, glm::vec3(x, 0.0f, z));
}

}  // namespace dusk::scene
