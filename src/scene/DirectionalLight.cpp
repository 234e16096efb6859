#include "scene/DirectionalLight.h"

#include "render/ShaderProgram.h"

namespace dusk::scene {

DirectionalLight::DirectionalLight(const glm::mat4& modelMatrix,
                                   const std::vector<ShaderProgram*>& shaders,
                                   const glm::vec3& direction)
    : SceneObject(modelMatrix), shaders(shaders), direction(direction) {}

void DirectionalLight::draw() {
    for (ShaderProgram* shader : shaders) {
        glUseProgram(shader->program);
        glUniform3f(glGetUniformLocation(shader->program, "mainLight"), direction.x, direction.y,
                    direction.z);
    }
}

}  // namespace dusk::scene
