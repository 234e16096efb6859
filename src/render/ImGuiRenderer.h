#pragma once

#include "render/GL.h"

struct ImDrawData;

namespace dusk {

// Draws Dear ImGui's triangles onto the bound framebuffer with GL objects made once: one
// program, one vertex array over one vertex and one index buffer that only ever grow, and the
// font atlas. Every frame's lists go into those buffers; no GL object is made per frame.
// Leaves the GL state as it found it, so that the next frame's passes see no difference.
class ImGuiRenderer {
public:
    // Needs a current GL context and the current ImGui context (for its font atlas).
    ImGuiRenderer();
    ~ImGuiRenderer();
    ImGuiRenderer(const ImGuiRenderer&) = delete;
    ImGuiRenderer& operator=(const ImGuiRenderer&) = delete;

    void draw(const ImDrawData* data);

    GLuint program;                 // textured, vertex-coloured triangles in window pixels
    GLuint vertexArray;             // the ImDrawVert layout over the two buffers below
    GLuint vertexBuffer;            // the frame's vertices of every draw list, one after another
    GLuint indexBuffer;             // the frame's indices, likewise
    GLuint fontTexture;             // ImGui's font atlas, RGBA
    GLsizeiptr vertexCapacity = 0;  // bytes of vertexBuffer's storage
    GLsizeiptr indexCapacity = 0;   // bytes of indexBuffer's storage
};

}  // namespace dusk
