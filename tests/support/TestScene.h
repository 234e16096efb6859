#pragma once

#include "app/DebugKeysScriptedInput.h"
#include "support/GLContext.h"

class Game;

namespace dusk::test {

// Puts back the GL state that a frame changes, as a fresh context has it.
void restoreDefaultGlState();

// Base of the tests on the demo's own scene, assembled from the build's run directory (the
// working directory of the tests) by the program's start-up step, with the clear colour and
// viewport it sets. Keys and cursor come from `keys`. Like the program's, the Game lives on.
class SceneGLTest : public GLTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // One iteration of the frame loop without the buffer swap: clear, update, render.
    void runFrame(float frameTime);

    ScriptedKeys keys;
    Game* game = nullptr;
};

}  // namespace dusk::test
