#include "game/Game.h"

#include "render/ScreenQuad.h"
#include "render/ShaderProgram.h"
#include "scene/DirectionalLight.h"

#include <iostream>

// All six programs are built again before any is replaced, so that a broken file leaves the
// demo drawing with the programs it had. The new objects go into the same ShaderProgram
// objects, which every user holds by pointer.
void Game::reloadShaders() {
    ShaderProgram* const programs[] = {blinnPhongShader, skyShader,      shadowMapShader,
                                       depthShader,      particleShader, lensFlareShader};
    constexpr int count = sizeof(programs) / sizeof(programs[0]);
    ShaderProgram fresh[count];
    std::string failure;
    int built = 0;
    while (built < count && programs[built]->buildAgain(&fresh[built], &failure)) {
        ++built;
    }
    if (built < count) {
        for (int i = 0; i < built; ++i) {
            fresh[i].deleteObjects();
        }
        shaderReloadFailure = "shader reload failed: " + failure;
        std::cout << shaderReloadFailure << std::endl;
        return;
    }
    for (int i = 0; i < count; ++i) {
        programs[i]->deleteObjects();
        programs[i]->program = fresh[i].program;
        programs[i]->vertexShader = fresh[i].vertexShader;
        programs[i]->fragmentShader = fresh[i].fragmentShader;
    }
    // What start-up gave the programs once; the per-frame inputs follow with the next frame.
    screenQuad->prepareProgram();
    light->draw();
    shaderReloadFailure.clear();
    std::cout << "reloaded shaders" << std::endl;
}
