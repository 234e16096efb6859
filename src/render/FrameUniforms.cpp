#include "game/Game.h"

#include "render/ShaderProgram.h"
#include "scene/Camera.h"
#include "scene/Object.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

glm::mat4 Game::cameraProjection() const {
    return glm::perspective(1.0471975803375244f,
                            static_cast<float>(width) / static_cast<float>(height), 0.1f, 1000.0f);
}

void Game::uploadFrameUniforms() {
    projection = cameraProjection();
    glm::mat4 view = camera->getViewMatrix();
    viewProjection = projection * view;

    for (ShaderProgram* shader : shaders) {
        GLuint program = shader->program;
        glUseProgram(program);
        glUniformMatrix4fv(glGetUniformLocation(program, "view_proj"), 1, GL_FALSE,
                           glm::value_ptr(viewProjection));
        glUniformMatrix4fv(glGetUniformLocation(program, "view"), 1, GL_FALSE,
                           glm::value_ptr(view));
        // The ball has not moved yet this frame: the light follows it one frame behind.
        glm::vec3 ballPosition = dusk::scene::positionOf(ball->modelMatrix);
        const GLfloat pointLightPosition[3] = {
            static_cast<float>(static_cast<double>(ballPosition.x) + 0.6),
            static_cast<float>(static_cast<double>(ballPosition.y) + 0.8), ballPosition.z};
        glUniform1i(glGetUniformLocation(program, "pLightCount"), 1);
        glUniform3fv(glGetUniformLocation(program, "pLightPos"), 1, pointLightPosition);
        glUniform1i(glGetUniformLocation(program, "disableNormalMapping"),
                    disableNormalMapping ? 1 : 0);
        glUniform1i(glGetUniformLocation(program, "disableSpecularMapping"),
                    disableSpecularMapping ? 1 : 0);
        glUniform3f(glGetUniformLocation(program, "fog_color"), 0.8f, 0.8f, 0.8f);
    }
}
