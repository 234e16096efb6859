#include "app/DebugOverlay.h"

#include "app/RenderSettings.h"
#include "game/Game.h"
#include "render/FramePasses.h"
#include "render/GlDebug.h"
#include "render/GpuTimer.h"
#include "render/ImGuiRenderer.h"
#include "render/PassViews.h"

#include <imgui.h>
#include <imgui_impl_glfw.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <new>
#include <string>

namespace dusk {

namespace {

// Under each pass picture: the names `capture --targets` gives its files.
const char* const thumbnailCaptions[PassViews::count] = {"shadow", "depth", "scene", "alpha"};
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

ImTextureID textureId(GLuint texture) {
    return reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(texture));
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
        glfwSetScrollCallback(game->window, ImGui_ImplGlfw_ScrollCallback);
    }
    renderer = new ImGuiRenderer();
    passTimer = new GpuTimer(passCount);
    views = new PassViews(*game);
    thumbnailHeight = std::max(1, thumbnailWidth * game->height / std::max(1, game->width));
    GLint boundTexture = 0, boundFramebuffer = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &boundFramebuffer);
    glGenTextures(PassViews::count, thumbnails);
    glGenFramebuffers(PassViews::count, thumbnailFramebuffers);
    for (int kind = 0; kind < PassViews::count; ++kind) {
        glBindTexture(GL_TEXTURE_2D, thumbnails[kind]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, thumbnailWidth, thumbnailHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glBindFramebuffer(GL_FRAMEBUFFER, thumbnailFramebuffers[kind]);
        glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, thumbnails[kind], 0);
        labelGlObject(GL_TEXTURE, thumbnails[kind],
                      std::string("overlay: ") + PassViews::names[kind]);
        labelGlObject(GL_FRAMEBUFFER, thumbnailFramebuffers[kind],
                      std::string("overlay: ") + PassViews::names[kind]);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(boundFramebuffer));
    rendererName = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    start = std::chrono::steady_clock::now();
}

DebugOverlay::~DebugOverlay() {
    glDeleteFramebuffers(PassViews::count, thumbnailFramebuffers);
    glDeleteTextures(PassViews::count, thumbnails);
    delete views;
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

void DebugOverlay::showView(int view) {
    if (view == shownView) {
        return;
    }
    shownView = view;
    std::cout << "view: " << (view == finalPicture ? "final picture" : PassViews::names[view])
              << std::endl;
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

    // The chosen view over the whole window, and the pass pictures unless the overlay is folded.
    PassViews::Output outputs[PassViews::count + 1];
    int outputCount = 0;
    if (shownView != finalPicture) {
        outputs[outputCount++] = {shownView, 0, game->width, game->height};
    }
    for (int kind = 0; kind < PassViews::count && !folded; ++kind) {
        outputs[outputCount++] = {kind, thumbnailFramebuffers[kind], thumbnailWidth,
                                  thumbnailHeight};
    }
    if (outputCount > 0) {
        views->draw(outputs, outputCount);
    }

    ImGui::NewFrame();
    drawWindow(clock);
    ImGui::Render();
    renderer->draw(ImGui::GetDrawData());
}

void DebugOverlay::drawWindow(double clock) {
    ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSizeConstraints(ImVec2(0.0f, 0.0f), io.DisplaySize);
    ImGui::SetNextWindowBgAlpha(0.8f);
    // The title says how to fold and unfold; the id after ### stays the same.
    ImGui::Begin(folded ? "Overlay, folded: click the arrow to open###overlay"
                        : "Overlay: click the arrow to fold###overlay",
                 nullptr,
                 ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_HorizontalScrollbar |
                     ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoNav);
    folded = ImGui::IsWindowCollapsed();
    if (folded) {
        ImGui::End();
        return;
    }
    // The graph sets the overlay's width: 320 pixels, or what a narrow window leaves beside
    // the padding and a scroll bar; text wraps there.
    contentWidth = std::max(120.0f, std::min(320.0f, io.DisplaySize.x - 36.0f));
    ImGui::PushTextWrapPos(contentWidth);
    ImGui::TextUnformatted(rendererName != nullptr ? rendererName : "unknown renderer");

    const double median = history.medianOfLastSecond(clock);
    if (median > 0.0) {
        ImGui::Text("%.1f FPS, %.2f ms a frame (1 s median)", 1.0 / median, median * 1000.0);
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
                     0.0f, std::max(longest, 1.0f), ImVec2(contentWidth, 60.0f));

    ImGui::TextUnformatted("GPU time per pass (ms)");
    for (int pass = 0; pass < passCount; ++pass) {
        if (passSecondsKnown) {
            ImGui::Text("  %-15s %8.2f", framePassNames[pass], passSeconds[pass] * 1000.0);
        } else {
            ImGui::Text("  %-15s %8s", framePassNames[pass], "-");
        }
    }

    drawPassPictures();

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

    // Between frames, like the key: the programs are in use until the frame is over.
    if (ImGui::Button("F7 reload shaders")) {
        game->shaderReloadRequested = true;
    }
    if (!game->shaderReloadFailure.empty()) {
        ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 0.45f, 0.4f, 1.0f));
        ImGui::TextUnformatted(game->shaderReloadFailure.c_str());
        ImGui::PopStyleColor();
    }
    ImGui::PopTextWrapPos();
    ImGui::End();
}

void DebugOverlay::drawPassPictures() {
    ImGui::TextUnformatted("What the passes hand on (click one)");
    const float spacing = ImGui::GetStyle().ItemSpacing.x;
    // Four across the overlay's width, each with a frame of one pixel.
    const float width = (contentWidth - 3.0f * spacing) / PassViews::count - 2.0f;
    const ImVec2 size(width, width * static_cast<float>(thumbnailHeight) / thumbnailWidth);
    for (int kind = 0; kind < PassViews::count; ++kind) {
        ImGui::BeginGroup();
        const ImVec4 frame =
            kind == shownView ? ImVec4(1.0f, 0.8f, 0.2f, 1.0f) : ImVec4(0.5f, 0.5f, 0.5f, 1.0f);
        // GL's rows start at the bottom.
        ImGui::Image(textureId(thumbnails[kind]), size, ImVec2(0.0f, 1.0f), ImVec2(1.0f, 0.0f),
                     ImVec4(1.0f, 1.0f, 1.0f, 1.0f), frame);
        if (ImGui::IsItemClicked()) {
            showView(kind == shownView ? finalPicture : kind);
        }
        ImGui::TextUnformatted(thumbnailCaptions[kind]);
        ImGui::EndGroup();
        if (kind + 1 < PassViews::count) {
            ImGui::SameLine();
        }
    }
}

}  // namespace dusk
