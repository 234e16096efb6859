#pragma once

#include "app/FrameTimeHistory.h"
#include "render/GL.h"
#include "render/PassViews.h"

#include <array>
#include <chrono>
#include <cstdint>

class Game;
struct ImGuiContext;

namespace dusk {

class GpuTimer;
class ImGuiRenderer;

// The F6 overlay in the window's top-left corner: the renderer, frame rate and frame time, a
// graph of the last ten seconds, the GPU time of each of the five passes, small live pictures
// of what the passes hand on (a click shows one over the whole window), a control for each
// switch that acts exactly as its key, and the shader reload. It folds to its title line and
// scrolls what the window cannot hold. Made the first time F6 shows it, never before.
class DebugOverlay {
public:
    static constexpr int passCount = 5;
    static constexpr int finalPicture = -1;     // the view of the window when no pass view shows
    static constexpr int thumbnailWidth = 128;  // pixels of each pass picture's texture

    // Needs the game's GL context current. Without a window (a headless run) it takes its size
    // from the game and reads no pointer.
    explicit DebugOverlay(Game* game);
    ~DebugOverlay();
    DebugOverlay(const DebugOverlay&) = delete;
    DebugOverlay& operator=(const DebugOverlay&) = delete;

    // Shown again after a pause: the time in between is no frame.
    void restart();
    // Draws one frame of the overlay over the window's picture, after the chosen pass view if
    // any; closes the frame's pass timing.
    void draw();
    // Shows a pass view (a PassViews::Kind) over the whole window, or the final picture again;
    // says so on the console when that changes what shows.
    void showView(int view);

    Game* game;
    ImGuiContext* context;
    ImGuiRenderer* renderer;
    GpuTimer* passTimer;  // stamped by the five passes while the overlay is shown
    PassViews* views;
    GLuint thumbnails[PassViews::count];  // each pass view, small, drawn every overlay frame
    GLuint thumbnailFramebuffers[PassViews::count];  // one over each of them
    int thumbnailHeight;                             // the window's aspect at thumbnailWidth
    int shownView = finalPicture;                    // what the window shows under the overlay
    bool folded = false;                             // the overlay shows only its title line
    float contentWidth = 320.0f;  // of the graph, the pictures and wrapped text, in pixels
    bool readsPointer;            // the GLFW backend feeds the pointer
    const char* rendererName;     // GL_RENDERER, owned by the GL
    FrameTimeHistory history;
    std::array<double, passCount> passSeconds{};  // the latest frame whose timings came back
    bool passSecondsKnown = false;
    std::int64_t frameNumber = 0;
    bool timing = false;  // lastFrame holds the previous overlay frame
    std::chrono::steady_clock::time_point lastFrame;
    std::chrono::steady_clock::time_point start;

private:
    void drawWindow(double clock);  // clock: seconds since the overlay was made
    void drawPassPictures();
};

}  // namespace dusk
