#pragma once

#include "scene/SceneObject.h"

#include <string>

class Model;
class ShaderProgram;

namespace dusk::scene {

// A drawable object: a model drawn with whatever program the current pass chose.
class Object : public SceneObject {
public:
    // Takes the default normal and specular maps.
    Object(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
           const std::string& colorPath);
    // An empty normal or specular path means no such map.
    Object(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
           const std::string& colorPath, const std::string& normalPath,
           const std::string& specularPath);
    ~Object() override;

    void update(float frameTime) override;
    void draw() override;
    virtual void setModelMatrix(const glm::mat4& matrix);
    virtual void setProgram(ShaderProgram* program);

    Model* model;           // owned unless shared from another object (placed trees)
    ShaderProgram* shader;  // not owned: the program of the next draw

protected:
    // An object over a model that another object owns; loads nothing.
    Object(const glm::mat4& modelMatrix, Model* sharedModel, ShaderProgram* shader);

    bool ownsModel;
};

extern const char* const defaultNormalMapPath;
extern const char* const defaultSpecularMapPath;

}  // namespace dusk::scene
