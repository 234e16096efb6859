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
      errorCount(0), lastFrameDrawn(nullptr) {}

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
    if (game->window != nullptr) {
        glfwSwapBuffers(game->window);
        glfwPollEvents();
    } else {
        // A pbuffer has no swap that paces the frames: as behind a double-buffered window, a
        // frame ends once the one before it is drawn, so the GL never runs frames ahead.
        if (lastFrameDrawn != nullptr) {
            glClientWaitSync(lastFrameDrawn, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
            glDeleteSync(lastFrameDrawn);
        }
        lastFrameDrawn = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    }
    errorCount += dusk::drainGlErrors(std::cout);
}

}  // namespace dusk::bench
