#include "ScriptedInput.h"

#include <utility>

namespace dusk::bench {

namespace {

// A tap (no frame count yet) stays down until a poll has seen it.
bool isDown(const KeyPress& press, int frame) {
    return frame >= press.firstFrame &&
           (press.frameCount == 0 || frame < press.firstFrame + press.frameCount);
}

}  // namespace

ScriptedInput::ScriptedInput(std::vector<KeyPress> keyPresses)
    : presses(std::move(keyPresses)), frame(0), cursorX(0.0), cursorY(0.0) {}

void ScriptedInput::releaseSeenTaps() {
    for (KeyPress& press : presses) {
        if (press.frameCount == 0 && isDown(press, frame)) {
            press.frameCount = frame - press.firstFrame + 1;
        }
    }
}

bool ScriptedInput::isKeyDown(GLFWwindow*, int key) {
    for (const KeyPress& press : presses) {
        if (press.key == key && isDown(press, frame)) {
            return true;
        }
    }
    return false;
}

void ScriptedInput::getCursorPos(GLFWwindow*, double* x, double* y) {
    *x = cursorX;
    *y = cursorY;
}

void ScriptedInput::setCursorPos(GLFWwindow*, double x, double y) {
    cursorX = x;
    cursorY = y;
}

}  // namespace dusk::bench
