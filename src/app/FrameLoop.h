#pragma once

#include <ostream>

// Runs frames until the window is asked to close, then releases the light, the ground and the
// tree and program lists of the Game.
void runFrameLoop();

namespace dusk {

// "50 FPS / Frametime: 0.02s": the truncated rate of this one frame and its time. A frame time of
// 0 (or less) has no measurable rate and shows as 0 FPS.
void writeFrameRateLine(std::ostream& out, float frameTime);

// Prints one "ERROR: OpenGL!" line per error taken from the queue; returns how many there were.
// The error source is glGetError unless a test gives another.
using GlErrorSource = unsigned int (*)();
int drainGlErrors(std::ostream& out, GlErrorSource nextError = nullptr);

}  // namespace dusk
