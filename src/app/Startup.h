#pragma once

#include "render/GL.h"

class Game;

// The configured window size, read once from config.txt.
extern int windowWidth;
extern int windowHeight;
// The single Game, made by createGame and never deleted.
extern Game* gameInstance;

// The largest X window coordinate: larger window sizes are refused.
constexpr int largestWindowSize = 32767;

// The window hints of every Dusklorne window: a 3.3 core-profile context, a debug one with
// DUSK_GL_DEBUG=1.
void setContextHints();

// Hides the cursor (of a window; null for none), turns on depth testing and culling, builds the
// Game and sets the clear colour.
void createGame(GLFWwindow* window);

// The whole program: configuration, window, Game, frame loop, shut-down. Returns the exit code
// of a normal end; start-up failures exit the process with 1.
int runDusklorne();
