#pragma once

#include "BenchOptions.h"

#include "scene/Input.h"

#include <vector>

namespace dusk::bench {

// Keys pressed at given frames instead of the keyboard and a cursor that stays where the camera
// puts it, so that a run does not depend on the machine it runs on.
class ScriptedInput : public dusk::Input {
public:
    explicit ScriptedInput(std::vector<KeyPress> presses);

    // The frame whose keys are down from now on.
    void setFrame(int frame);
    // Releases the taps that a debug-key poll has just seen.
    void releaseSeenTaps();

    bool isKeyDown(GLFWwindow* window, int key) override;
    void getCursorPos(GLFWwindow* window, double* x, double* y) override;
    void setCursorPos(GLFWwindow* window, double x, double y) override;

    std::vector<KeyPress> presses;
    std::vector<char> tapSeen;  // one flag per press
    int frame;
    double cursorX;
    double cursorY;
};

}  // namespace dusk::bench
