#pragma once

// GLEW must come before any other GL header; GLFW then adds the window API only.
#include <GL/glew.h>
#include <GLFW/glfw3.h>
