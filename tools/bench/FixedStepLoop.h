#pragma once

class Game;

namespace dusk::bench {

class ScriptedInput;

// The demo's frame loop with a virtual clock: every frame lasts exactly `frameTime` seconds, and
// the debug keys are polled when more than 0.1 s of that clock passed since the last poll.
class FixedStepLoop {
public:
    FixedStepLoop(Game* game, ScriptedInput* input, double frameTime);

    // Starts the next frame: the clock, the key poll (with the frame-rate line) when due, and
    // the clear of the bound framebuffer.
    void startFrame();
    // Swap and window events (with a window), and the GL error drain.
    void present();

    Game* game;
    ScriptedInput* input;
    double frameTime;
    int frame;        // frames started so far; the current frame's number
    double clock;     // virtual seconds at the start of the current frame
    double lastPoll;  // virtual time of the last key poll
    int errorCount;   // "ERROR: OpenGL!" lines printed so far
};

}  // namespace dusk::bench
