#pragma once

#include "scene/SceneObject.h"

#include <vector>

class ShaderProgram;

namespace dusk::scene {

// The sun: one light vector (toward the light, not normalised) handed to its programs as
// "mainLight".
class DirectionalLight : public SceneObject {
public:
    DirectionalLight(const glm::mat4& modelMatrix, const std::vector<ShaderProgram*>& shaders,
                     const glm::vec3& direction);

    void update(float) override {}
    // Uploads "mainLight" to every program in order; the last one stays current.
    void draw() override;

    std::vector<ShaderProgram*> shaders;  // the programs belong to the Game
    glm::vec3 direction;
};

}  // namespace dusk::scene
