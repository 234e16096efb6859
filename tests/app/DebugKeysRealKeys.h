#pragma once

// Real key presses on the running demo. Keys are polled only between frames, ten times a second
// at most, and a software-rendered frame can take longer than that, so a press is held until
// its effect shows rather than for a fixed time.

#include "support/EndToEnd.h"

#include <chrono>
#include <functional>
#include <string>

namespace dusk::test {

// Holds the key (an X keysym name) until `done` says so or the time is up; true if it did.
inline bool holdKeyUntil(const std::string& windowId, const std::string& key,
                         const std::function<bool()>& done, double seconds) {
    x11::run("xdotool windowfocus --sync " + windowId + " 2>/dev/null");
    x11::run("xdotool keydown " + key);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    bool reached = done();
    while (!reached && std::chrono::steady_clock::now() < deadline) {
        sleepSeconds(0.02);
        reached = done();
    }
    x11::run("xdotool keyup " + key);
    return reached;
}

// Presses F1 until the help text's last line shows: from then on the frame loop polls keys.
inline bool waitUntilKeysAreRead(const std::string& windowId, DemoProcess& demo) {
    return holdKeyUntil(
        windowId, "F1",
        [&] {
            return demo.output().find("F12 - Specular mapping (On/Off)\n") != std::string::npos;
        },
        120.0);
}

// Holds ESC until the demo has gone, then returns its exit code (-1 if it never went).
inline int endWithEscape(const std::string& windowId, DemoProcess& demo) {
    holdKeyUntil(
        windowId, "Escape", [&] { return !demo.running(); }, 60.0);
    return demo.waitForExit(10.0);
}

}  // namespace dusk::test
