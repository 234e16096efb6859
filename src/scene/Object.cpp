#include "scene/Object.h"

#include "assets/Model.h"
#include "render/ShaderProgram.h"

#include <glm/gtc/type_ptr.hpp>

namespace dusk::scene {

const char* const defaultNormalMapPath = "Model/Image/Default_NM.png";
const char* const defaultSpecularMapPath = "Model/Image/Default_SM.png";

Object::Object(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
               const std::string& colorPath)
    : Object(modelPath, modelMatrix, shader, colorPath, defaultNormalMapPath,
             defaultSpecularMapPath) {}

Object::Object(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
               const std::string& colorPath, const std::string& normalPath,
               const std::string& specularPath)
    : SceneObject(modelMatrix), model(new Model()), shader(shader), ownsModel(true) {
    // A missing file leaves an object that draws nothing; the loader has said why.
    model->load(modelPath, colorPath, normalPath, specularPath);
}

Object::Object(const glm::mat4& modelMatrix, Model* sharedModel, ShaderProgram* shader)
    : SceneObject(modelMatrix), model(sharedModel), shader(shader), ownsModel(false) {}

Object::~Object() {
    if (ownsModel) {
        delete model;
    }
    model = nullptr;
}

void Object::update(float) {}

void Object::draw() {
    GLuint program = shader->program;
    glUseProgram(program);
    glUniformMatrix4fv(glGetUniformLocation(program, "model"), 1, GL_FALSE,
                       glm::value_ptr(modelMatrix));
    glUniform1i(glGetUniformLocation(program, "color_texture"), 0);
    glUniform1i(glGetUniformLocation(program, "normal_texture"), 2);
    glUniform1i(glGetUniformLocation(program, "specular_texture"), 3);
    model->draw();
}

void Object::setModelMatrix(const glm::mat4& matrix) {
    modelMatrix = matrix;
}

void Object::setProgram(ShaderProgram* program) {
    shader = program;
}

}  // namespace dusk::scene
