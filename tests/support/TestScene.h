#pragma once

#include "render/GL.h"

#include <string>

class Game;

namespace dusk::test {

// The demo's own scene, assembled from the build's run directory (the working directory of the
// tests) by the start-up step of the program, with the clear colour and viewport it sets. The
// loaders' lines go to `output`. Like the program, the Game is never deleted.
Game* assembleScene(GLFWwindow* window, std::string* output = nullptr);

// One iteration of the frame loop without the buffer swap: clear, update, render.
void runFrame(Game* game, float frameTime);

// Puts back the GL state that a frame changes, as a fresh context has it.
void restoreDefaultGlState();

}  // namespace dusk::test
