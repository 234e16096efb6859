#pragma once

#include "app/FrameTimeHistory.h"

#include <array>
#include <chrono>
#include <cstdint>

class Game;
struct ImGuiContext;

namespace dusk {

class GpuTimer;
class ImGuiRenderer;

// The F6 overlay in the window's top-left corner: the renderer, frame rate and frame time, a
// graph of the last ten seconds, the GPU time of each of the five passes, and a control for
// each switch that acts exactly as its key. Made the first time F6 shows it, never before.
class DebugOverlay {
public:
    static constexpr int passCount = 5;

    // Needs the game's GL context current. Without a window (a headless run) it takes its size
    // from the game and reads no pointer.
    explicit DebugOverlay(Game* game);
    ~DebugOverlay();
    DebugOverlay(const DebugOverlay&) = delete;
    DebugOverlay& operator=(const DebugOverlay&) = delete;

    // Shown again after a pause: the time in between is no frame.
    void restart();
    // Draws one frame of the overlay over the window's picture; closes the frame's pass timing.
    void draw();

    Game* game;
    ImGuiContext* context;
    ImGuiRenderer* renderer;
    GpuTimer* passTimer;       // stamped by the five passes while the overlay is shown
    bool readsPointer;         // the GLFW backend feeds the pointer
    const char* rendererName;  // GL_RENDERER, owned by the GL
    FrameTimeHistory history;
    std::array<double, passCount> passSeconds{};  // the latest frame whose timings came back
    bool passSecondsKnown = false;
    std::int64_t frameNumber = 0;
    bool timing = false;  // lastFrame holds the previous overlay frame
    std::chrono::steady_clock::time_point lastFrame;
    std::chrono::steady_clock::time_point start;

private:
    void drawWindow(double clock);  // clock: seconds since the overlay was made
};

}  // namespace dusk
