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

    // Releases the taps that a debug-key poll has just seen: each becomes a press that lasted
    // until the frame of that poll.
    void releaseSeenTaps();

    bool isKeyDown(GLFWwindow* window, int key) override;
    void getCursorPos(GLFWwindow* window, double* x, double* y) override;
    void setCursorPos(GLFWwindow* window, double x, double y) override;

    std::vector<KeyPress> presses;
    int frame;  // the frame whose keys are down
    double cursorX;
    double cursorY;
};

}  // namespace dusk::bench
