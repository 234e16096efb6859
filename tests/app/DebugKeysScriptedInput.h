#pragma once

#include "scene/Input.h"

#include <set>

namespace dusk::test {

// A key source that holds exactly the keys a test names; the cursor stays where it was last put.
class ScriptedKeys : public dusk::Input {
public:
    bool isKeyDown(GLFWwindow*, int key) override { return down.count(key) != 0; }
    void getCursorPos(GLFWwindow*, double* x, double* y) override {
        *x = cursorX;
        *y = cursorY;
    }
    void setCursorPos(GLFWwindow*, double x, double y) override {
        cursorX = x;
        cursorY = y;
    }

    std::set<int> down;
    double cursorX = 0.0;
    double cursorY = 0.0;
};

}  // namespace dusk::test
