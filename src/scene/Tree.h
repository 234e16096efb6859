#pragma once

#include "scene/Object.h"

namespace dusk::scene {

// A tree at a pseudo-random spot outside the open centre, with a static trunk cylinder in the
// physics world. A template tree loads the model; placed trees share the template's model and
// program, so a forest costs one load per kind.
class Tree : public Object {
public:
    // A template: loaded, not placed, no body.
    Tree(const std::string& modelPath, const glm::mat4& modelMatrix, ShaderProgram* shader,
         const std::string& colorPath);
    // A placed tree made from a template, which must outlive it.
    explicit Tree(const Tree& templateTree);

    void update(float frameTime) override;
    // Moves the tree to a random spot outside the central 80 x 80 square.
    void placeRandomly();

    double trunkHalfHeight;
    double trunkRadius;
};

}  // namespace dusk::scene
