#include "game/Game.h"

#include "game/PhysicsWorld.h"
#include "render/Bezier.h"
#include "scene/Camera.h"
#include "scene/Object.h"
#include "scene/ParticleSystem.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

const glm::vec3 explosionPosition(23.7951f, 31.1753f, -1.71746f);
const glm::vec3 swingStart(19.0f, 30.0f, 0.0f);
const glm::vec3 swingEnd(19.0f, 40.0f, 8.0f);

}  // namespace

void Game::update(float frameTime) {
    using dusk::scene::positionOf;

    // 1. The camera: on the intro path looking at the ball, still after 1.1, then the player's.
    if (introRunning) {
        glm::vec3 target = positionOf(ball->modelMatrix);
        glm::vec3 eye = bezierPoint(cameraPath, clampPathParameter(pathTime - 0.1f));
        if (static_cast<double>(pathTime) < 1.1) {
            camera->setPositionAndTarget(eye, target);
        }
    } else if (!cameraFrozen) {
        camera->update(frameTime);
    }

    // 2. and 3. The path clock, then the frame's shader inputs with the ball where it was.
    pathTime += pathSpeed * frameTime;
    uploadFrameUniforms();

    // 4. The ball: along its path, then swinging between two fixed points.
    glm::vec3 ballPosition(0.0f);
    const double time = static_cast<double>(pathTime);
    if (time < 1.1) {
        ballPosition = bezierPoint(ballPath, clampPathParameter(pathTime));
    } else if (time > 1.1) {
        ballPath.clear();
        ballPath.push_back(swingStart);
        ballPath.push_back(swingEnd);
        float f = static_cast<float>(std::sin(static_cast<double>(pathTime * 50.0f)));
        ballPosition = ballPath[0] + (ballPath[1] - ballPath[0]) * f;
    }

    // 5. The intro hands over to the player once.
    if (time > introEndPathTime) {
        introRunning = false;
    }

    // 6. The ball carries the point light and the glow.
    ball->setModelMatrix(glm::translate(glm::mat4(1.0f), ballPosition));

    // 7. The particle systems, each with its emitter and a fresh camera projection.
    glm::mat4 view = camera->getViewMatrix();
    glm::vec3 cameraPosition = positionOf(camera->modelMatrix);
    glm::vec3 eyeFromView = glm::vec3(glm::inverse(view)[3]);
    particleSystems[2]->update(ballPosition, view, cameraPosition, cameraProjection(), frameTime);
    particleSystems[3]->update(explosionPosition, view, cameraPosition, cameraProjection(),
                               frameTime);
    particleSystems[1]->update(glm::vec3(0.0f), view, eyeFromView, cameraProjection(), frameTime);
    particleSystems[0]->update(bezierPoint(firePositions, clampPathParameter(pathTime)), view,
                               eyeFromView, cameraProjection(), frameTime);

    // 8. One physics step.
    stepPhysics(frameTime);
}
