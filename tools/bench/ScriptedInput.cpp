#include "ScriptedInput.h"

#include <utility>

namespace dusk::bench {

namespace {

bool isDown(const KeyPress& press, bool seen, int frame) {
    if (frame < press.firstFrame) {
        return false;
    }
    if (press.frameCount == 0) {
        return !seen;
    }
    return frame < press.firstFrame + press.frameCount;
}

}  // namespace

ScriptedInput::ScriptedInput(std::vector<KeyPress> keyPresses)
    : presses(std::move(keyPresses)), tapSeen(presses.size(), 0), frame(0), cursorX(0.0),
      cursorY(0.0) {}

void ScriptedInput::setFrame(int newFrame) {
    frame = newFrame;
}

void ScriptedInput::releaseSeenTaps() {
    for (size_t i = 0; i < presses.size(); ++i) {
        if (presses[i].frameCount == 0 && isDown(presses[i], tapSeen[i] != 0, frame)) {
            tapSeen[i] = 1;
        }
    }
}

bool ScriptedInput::isKeyDown(GLFWwindow*, int key) {
    for (size_t i = 0; i < presses.size(); ++i) {
        if (presses[i].key == key && isDown(presses[i], tapSeen[i] != 0, frame)) {
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
