#include "scene/Camera.h"

#include "app/Startup.h"
#include "scene/Input.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace dusk::scene {

Camera::Camera(const glm::mat4& modelMatrix, GLFWwindow* window)
    : SceneObject(modelMatrix), window(window), viewMatrix(1.0f), movement(0.0f),
      horizontalAngle(2.0f), verticalAngle(0.0f), speed(0.2f), mouseSpeed(0.002f) {
    double x = 0.0;
    double y = 0.0;
    referencePoint(&x, &y);
    input().setCursorPos(window, x, y);
}

// The centre of the window itself: a point outside it (the screen's centre, for a small window)
// would pull the cursor out of the window, where it shows and the warps stop with the focus.
void Camera::referencePoint(double* x, double* y) const {
    *x = static_cast<double>(windowWidth / 2);
    *y = static_cast<double>(windowHeight / 2);
}

void Camera::update(float) {
    if (!mouseLookPaused) {
        double cursorX = 0.0;
        double cursorY = 0.0;
        input().getCursorPos(window, &cursorX, &cursorY);
        double centerX = 0.0;
        double centerY = 0.0;
        referencePoint(&centerX, &centerY);
        input().setCursorPos(window, centerX, centerY);

        referencePoint(&centerX, &centerY);
        horizontalAngle += mouseSpeed * static_cast<float>(centerX - cursorX);
        verticalAngle += mouseSpeed * static_cast<float>(centerY - cursorY);
    }

    const double h = horizontalAngle;
    const double v = verticalAngle;
    // Deliberately 1.57, not pi/2; the float difference is evaluated in double like the rest.
    const double rightAngle = static_cast<float>(horizontalAngle - 1.57f);
    glm::vec3 direction(static_cast<float>(std::cos(v) * std::sin(h)),
                        static_cast<float>(std::sin(v)),
                        static_cast<float>(std::cos(v) * std::cos(h)));
    glm::vec3 right(static_cast<float>(std::sin(rightAngle)), 0.0f,
                    static_cast<float>(std::cos(rightAngle)));
    glm::vec3 up = glm::cross(right, direction);

    movement = glm::vec3(0.0f);
    Input& keys = input();
    if (keys.isKeyDown(window, GLFW_KEY_UP) || keys.isKeyDown(window, GLFW_KEY_W)) {
        movement += direction;
    }
    if (keys.isKeyDown(window, GLFW_KEY_DOWN) || keys.isKeyDown(window, GLFW_KEY_S)) {
        movement -= direction;
    }
    if (keys.isKeyDown(window, GLFW_KEY_RIGHT) || keys.isKeyDown(window, GLFW_KEY_D)) {
        movement += right;
    }
    if (keys.isKeyDown(window, GLFW_KEY_LEFT) || keys.isKeyDown(window, GLFW_KEY_A)) {
        movement -= right;
    }
    speed = 0.2f;
    movement *= speed;

    modelMatrix = glm::translate(modelMatrix, movement);
    glm::vec3 eye = positionOf(modelMatrix);
    viewMatrix = glm::lookAt(eye, eye + direction, up);
}

void Camera::pauseMouseLook(bool paused) {
    if (mouseLookPaused && !paused && window != nullptr) {
        double x = 0.0;
        double y = 0.0;
        referencePoint(&x, &y);
        input().setCursorPos(window, x, y);
    }
    mouseLookPaused = paused;
}

void Camera::setPositionAndTarget(glm::vec3 position, glm::vec3 target) {
    modelMatrix = glm::translate(glm::mat4(1.0f), position);
    glm::vec3 toTarget = target - position;
    if (glm::dot(toTarget, toTarget) > 1e-12f) {
        viewMatrix = glm::lookAt(position, target, glm::vec3(0.0f, 1.0f, 0.0f));
        return;
    }
    // An eye on its own target has no direction (the intro starts that way): keep looking where
    // the last view looked instead of building a view of NaNs.
    glm::vec3 forward(-viewMatrix[0][2], -viewMatrix[1][2], -viewMatrix[2][2]);
    if (!(glm::dot(forward, forward) > 0.5f)) {
        forward = glm::vec3(0.0f, 0.0f, -1.0f);
    }
    viewMatrix = glm::lookAt(position, position + forward, glm::vec3(0.0f, 1.0f, 0.0f));
}
}  // namespace dusk::scene
