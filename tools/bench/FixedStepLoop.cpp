#include "FixedStepLoop.h"

#include "ScriptedInput.h"

#include "app/FrameLoop.h"
#include "app/RenderSettings.h"
#include "game/Game.h"
#include "render/GL.h"

#include <iostream>

namespace dusk::bench {

FixedStepLoop::FixedStepLoop(Game* game, ScriptedInput* input, double frameTime)
    : game(game), input(input), frameTime(frameTime), frame(0), clock(0.0), lastPoll(0.0),
      errorCount(0) {}

void FixedStepLoop::startFrame() {
    ++frame;
    // Multiplied, not summed, so that long runs do not drift from the frame numbers.
    clock = frame * frameTime;
    input->frame = frame;
    if (clock - lastPoll > 0.1) {
        game->pollDebugKeys();
        input->releaseSeenTaps();
        if (renderSettings.showFrametime) {
            dusk::writeFrameRateLine(std::cout, static_cast<float>(frameTime));
        }
        lastPoll = clock;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void FixedStepLoop::present() {
    if (game->window != nullptr) {  // headless, a pbuffer has nothing to swap
        glfwSwapBuffers(game->window);
        glfwPollEvents();
    }
    errorCount += dusk::drainGlErrors(std::cout);
}

}  // namespace dusk::bench
