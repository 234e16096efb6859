#include "scene/SceneObject.h"

namespace dusk::scene {

SceneObject::SceneObject(const glm::mat4& modelMatrix)
    : modelMatrix(modelMatrix), body(nullptr), worldDepth(350), worldWidth(350) {}

}  // namespace dusk::scene
