#include "app/DebugOverlay.h"

#include "app/RenderSettings.h"
#include "game/Game.h"
#include "render/GpuTimer.h"
#include "render/ImGuiRenderer.h"

#include <imgui.h>
#include <imgui_impl_glfw.h>

#include <algorithm>
#include <cstdio>
#include <new>

namespace dusk {

namespace {

const char* const passNames[DebugOverlay::passCount] = {"1 shadow", "2 camera depth", "3 scene",
                                                        "4 particles", "5 lens flare"};
const char* const mipmapLabels[3] = {"F5 mipmaps: off###mipmaps", "F5 mipmaps: nearest###mipmaps",
                                     "F5 mipmaps: linear###mipmaps"};

// ImGui's memory through operator new, so that the bench's allocation count sees it too.
void* allocate(size_t size, void*) {
    return ::operator new(size);
}

void release(void* pointer, void*) {
    ::operator delete(pointer);
}

double secondsBetween(std::chrono::steady_clock::time_point from,
                      std::chrono::steady_clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A checkbox that shows `on` and, when clicked, acts as the key does.
void switchBox(Game* game, const char* label, bool on, int key) {
    if (ImGui::Checkbox(label, &on)) {
        game->actOnKey(key);
    }
}

}  // namespace

DebugOverlay::DebugOverlay(Game* game) : game(game), readsPointer(game->window != nullptr) {
    ImGui::SetAllocatorFunctions(allocate, release);
    context = ImGui::CreateContext();
    ImGui::SetCurrentContext(context);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;  // nothing written into the run directory
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
    if (readsPointer) {
        // Keys stay polled by the game: only the pointer's callbacks are installed, and they
        // only set flags, so nothing queues up while the overlay is hidden. The button
        // callback keeps a click shorter than a frame.
        ImGui_ImplGlfw_InitForOpenGL(game->window, false);
        glfwSetMouseButtonCallback(game->window, ImGui_ImplGlfw_MouseButtonCallback);
        glfwSetCursorEnterCallback(game->window, ImGui_ImplGlfw_CursorEnterCallback);
        glfwSetWindowFocusCallback(game->window, ImGui_ImplGlfw_WindowFocusCallback);
    }
    renderer = new ImGuiRenderer();
    passTimer = new GpuTimer(passCount);
    rendererName = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    start = std::chrono::steady_clock::now();
}

DebugOverlay::~DebugOverlay() {
    delete passTimer;
    delete renderer;
    ImGui::SetCurrentContext(context);
    if (readsPointer) {
        ImGui_ImplGlfw_Shutdown();
    }
    ImGui::DestroyContext(context);
}

void DebugOverlay::restart() {
    timing = false;
}

void DebugOverlay::draw() {
    ImGui::SetCurrentContext(context);
    passTimer->endFrame(frameNumber++);
    std::int64_t finishedFrame = 0;
    double seconds[passCount];
    while (passTimer->takeFinished(&finishedFrame, seconds)) {
        std::copy(seconds, seconds + passCount, passSeconds.begin());
        passSecondsKnown = true;
    }

    const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    const double clock = secondsBetween(start, now);
    const double frameSeconds = secondsBetween(lastFrame, now);
    if (timing) {
        history.add(clock, frameSeconds);
    }
    lastFrame = now;

    ImGuiIO& io = ImGui::GetIO();
    if (readsPointer) {
        ImGui_ImplGlfw_NewFrame();
    } else {
        io.DisplaySize = ImVec2(static_cast<float>(game->width), static_cast<float>(game->height));
    }
    io.DeltaTime = timing && frameSeconds > 0.0 ? static_cast<float>(frameSeconds) : 1.0f / 60.0f;
    timing = true;

    ImGui::NewFrame();
    drawWindow(clock);
    ImGui::Render();
    renderer->draw(ImGui::GetDrawData());
}

void DebugOverlay::drawWindow(double clock) {
    ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowBgAlpha(0.8f);
    ImGui::Begin("Dusklorne", nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_AlwaysAutoResize |
                     ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoNav);
    ImGui::TextUnformatted(rendererName != nullptr ? rendererName : "unknown renderer");

    const double median = history.medianOfLastSecond(clock);
    if (median > 0.0) {
        ImGui::Text("%.1f FPS, %.2f ms a frame (median of the last second)", 1.0 / median,
                    median * 1000.0);
    } else {
        ImGui::TextUnformatted("FPS: measuring");
    }
    history.fillGraph(clock);
    float longest = 0.0f;
    for (float value : history.graph) {
        longest = std::max(longest, value);
    }
    char caption[48];
    std::snprintf(caption, sizeof(caption), "frame time, 10 s, top %.0f ms", longest);
    ImGui::PlotLines("##frames", history.graph.data(), FrameTimeHistory::graphBins, 0, caption,
                     0.0f, std::max(longest, 1.0f), ImVec2(320.0f, 60.0f));

    ImGui::TextUnformatted("GPU time per pass (ms)");
    for (int pass = 0; pass < passCount; ++pass) {
        if (passSecondsKnown) {
            ImGui::Text("  %-15s %8.2f", passNames[pass], passSeconds[pass] * 1000.0);
        } else {
            ImGui::Text("  %-15s %8s", passNames[pass], "-");
        }
    }

    ImGui::Separator();
    switchBox(game, "F3 wireframe", renderSettings.wireframe, GLFW_KEY_F3);
    switchBox(game, "F4 bilinear sampling", renderSettings.bilinearFiltering, GLFW_KEY_F4);
    const int mode = renderSettings.mipmapMode;
    if (ImGui::Button(mipmapLabels[mode >= -1 && mode <= 1 ? mode + 1 : 0])) {
        game->actOnKey(GLFW_KEY_F5);
    }
    switchBox(game, "F9 soft particles", !game->disableSoftParticles, GLFW_KEY_F9);
    switchBox(game, "F10 freeze camera", game->cameraFrozen, GLFW_KEY_F10);
    switchBox(game, "F11 normal mapping", !game->disableNormalMapping, GLFW_KEY_F11);
    switchBox(game, "F12 specular mapping", !game->disableSpecularMapping, GLFW_KEY_F12);
    ImGui::End();
}

}  // namespace dusk
