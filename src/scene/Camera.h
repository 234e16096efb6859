#pragma once

#include "render/GL.h"
#include "scene/SceneObject.h"

namespace dusk::scene {

// The player's free-flying eye: the mouse turns it, W/A/S/D and the arrows move it a fixed
// distance per frame. The cursor is pulled back to the window's centre every update, so its
// offset from there is the frame's mouse movement.
class Camera : public SceneObject {
public:
    Camera(const glm::mat4& modelMatrix, GLFWwindow* window);

    void update(float frameTime) override;
    void draw() override {}

    void setPositionAndTarget(glm::vec3 position, glm::vec3 target);
    // Paused, the cursor is left alone and the view does not turn; resumed, the cursor is put
    // back at the centre first, so that where the pointer was left does not turn the view.
    void pauseMouseLook(bool paused);
    glm::mat4 getViewMatrix() const { return viewMatrix; }

    GLFWwindow* window;  // borrowed: keys and cursor are read from it
    glm::mat4 viewMatrix;
    glm::vec3 movement;     // this frame's displacement
    float horizontalAngle;  // yaw, radians
    float verticalAngle;    // pitch, radians, never clamped
    float speed;            // world units per frame and pressed direction
    float mouseSpeed;       // radians per pixel of cursor offset
    bool mouseLookPaused = false;

private:
    void referencePoint(double* x, double* y) const;
};

}  // namespace dusk::scene
