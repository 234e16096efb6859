#pragma once

#include "app/DebugKeysScriptedInput.h"
#include "support/EndToEnd.h"
#include "support/GLContext.h"

#include <memory>
#include <string>
#include <vector>

class Game;

namespace dusk::test {

// How many GL objects of the kinds a frame or a shader reload could make are alive, up to a name
// far above ours.
int liveGlObjects();

// Base of the tests on the demo's own scene, assembled by the program's start-up step from a run
// directory of the test's own, with the build's shaders, models and images, and the viewport
// the program sets. Keys and cursor come from `keys`. Like the program's, the Game lives on.
class SceneGLTest : public GLTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // One iteration of the frame loop without the buffer swap: clear, update, render.
    void runFrame(float frameTime);
    // Two frames of the intro at pathTime 0.5, then no particles, whose blending order varies:
    // from here the same frame drawn again is the same picture.
    void stillScene();
    // The same frame drawn again (no update), as the window shows it.
    std::vector<unsigned char> redrawn();

    ScriptedKeys keys;
    Game* game = nullptr;
    std::string startupOutput;  // what the start-up step printed
    std::unique_ptr<RunDirectory> runDirectory;
};

}  // namespace dusk::test
