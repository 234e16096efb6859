#include "render/ImGuiRenderer.h"

#include "render/GlDebug.h"
#include "render/SavedGlState.h"
#include "render/ShaderProgram.h"

#include <imgui.h>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iostream>

namespace dusk {

namespace {

const char* const vertexSource = R"(#version 330 core
in vec2 position;
in vec2 uv;
in vec4 colour;
uniform mat4 projection;
out vec2 fragmentUv;
out vec4 fragmentColour;
void main() {
    fragmentUv = uv;
    fragmentColour = colour;
    gl_Position = projection * vec4(position, 0.0, 1.0);
}
)";

const char* const fragmentSource = R"(#version 330 core
in vec2 fragmentUv;
in vec4 fragmentColour;
uniform sampler2D atlas;
out vec4 outColour;
void main() {
    outColour = fragmentColour * texture(atlas, fragmentUv);
}
)";

// Grows a buffer's storage to at least `bytes`, doubling, so that it settles after a few
// frames; glBufferData renews the storage of the same buffer object.
void reserve(GLenum target, GLsizeiptr bytes, GLsizeiptr* capacity) {
    if (bytes <= *capacity) {
        return;
    }
    *capacity = std::max(bytes, *capacity * 2);
    glBufferData(target, *capacity, nullptr, GL_STREAM_DRAW);
}

}  // namespace

ImGuiRenderer::ImGuiRenderer() {
    GLint previousTexture = 0, previousVertexArray = 0, previousArrayBuffer = 0, activeTexture = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &previousVertexArray);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &previousArrayBuffer);

    program = glCreateProgram();
    GLuint vertexShader = compiledShader(GL_VERTEX_SHADER, vertexSource);
    GLuint fragmentShader = compiledShader(GL_FRAGMENT_SHADER, fragmentSource);
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "uv");
    glBindAttribLocation(program, 2, "colour");
    glLinkProgram(program);
    glDeleteShader(vertexShader);
    glDeleteShader(fragmentShader);

    glGenBuffers(1, &vertexBuffer);
    glGenBuffers(1, &indexBuffer);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    const GLsizei stride = sizeof(ImDrawVert);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(ImDrawVert, pos)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(ImDrawVert, uv)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<void*>(offsetof(ImDrawVert, col)));

    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    ImGuiIO& io = ImGui::GetIO();
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &fontTexture);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    io.Fonts->SetTexID(reinterpret_cast<ImTextureID>(static_cast<std::intptr_t>(fontTexture)));
    labelGlObject(GL_PROGRAM, program, "overlay");
    labelGlObject(GL_VERTEX_ARRAY, vertexArray, "overlay triangles");
    labelGlObject(GL_BUFFER, vertexBuffer, "overlay vertices");
    labelGlObject(GL_BUFFER, indexBuffer, "overlay indices");
    labelGlObject(GL_TEXTURE, fontTexture, "overlay font");

    // Made between frames: the passes expect their bindings where they left them.
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    glActiveTexture(static_cast<GLenum>(activeTexture));
    glBindVertexArray(static_cast<GLuint>(previousVertexArray));
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(previousArrayBuffer));
}

ImGuiRenderer::~ImGuiRenderer() {
    glDeleteTextures(1, &fontTexture);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &vertexBuffer);
    glDeleteBuffers(1, &indexBuffer);
    glDeleteProgram(program);
}

void ImGuiRenderer::draw(const ImDrawData* data) {
    const float scaleX = data->FramebufferScale.x;
    const float scaleY = data->FramebufferScale.y;
    const int framebufferWidth = static_cast<int>(data->DisplaySize.x * scaleX);
    const int framebufferHeight = static_cast<int>(data->DisplaySize.y * scaleY);
    if (framebufferWidth <= 0 || framebufferHeight <= 0 || data->TotalVtxCount == 0) {
        return;
    }
    SavedGlState saved;
    saved.save();

    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glViewport(0, 0, framebufferWidth, framebufferHeight);

    const ImVec2 origin = data->DisplayPos;
    const glm::mat4 projection = glm::ortho(origin.x, origin.x + data->DisplaySize.x,
                                            origin.y + data->DisplaySize.y, origin.y);
    glUseProgram(program);
    glUniformMatrix4fv(glGetUniformLocation(program, "projection"), 1, GL_FALSE,
                       glm::value_ptr(projection));
    glUniform1i(glGetUniformLocation(program, "atlas"), 0);
    glBindVertexArray(vertexArray);

    // Every list into the one pair of buffers; each draw then names its list's offsets.
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    reserve(GL_ARRAY_BUFFER, data->TotalVtxCount * GLsizeiptr(sizeof(ImDrawVert)), &vertexCapacity);
    reserve(GL_ELEMENT_ARRAY_BUFFER, data->TotalIdxCount * GLsizeiptr(sizeof(ImDrawIdx)),
            &indexCapacity);
    GLintptr vertexBytes = 0, indexBytes = 0;
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        const GLsizeiptr vertexSize = list->VtxBuffer.Size * GLsizeiptr(sizeof(ImDrawVert));
        const GLsizeiptr indexSize = list->IdxBuffer.Size * GLsizeiptr(sizeof(ImDrawIdx));
        glBufferSubData(GL_ARRAY_BUFFER, vertexBytes, vertexSize, list->VtxBuffer.Data);
        glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, indexBytes, indexSize, list->IdxBuffer.Data);
        vertexBytes += vertexSize;
        indexBytes += indexSize;
    }

    const GLenum indexType = sizeof(ImDrawIdx) == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
    GLint firstVertex = 0;
    GLsizeiptr firstIndex = 0;
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        for (const ImDrawCmd& command : list->CmdBuffer) {
            // In framebuffer pixels, from the bottom left.
            const float left = (command.ClipRect.x - origin.x) * scaleX;
            const float top = (command.ClipRect.y - origin.y) * scaleY;
            const float right = (command.ClipRect.z - origin.x) * scaleX;
            const float bottom = (command.ClipRect.w - origin.y) * scaleY;
            if (command.UserCallback != nullptr || right <= left || bottom <= top) {
                continue;
            }
            glScissor(static_cast<GLint>(left), static_cast<GLint>(framebufferHeight - bottom),
                      static_cast<GLsizei>(right - left), static_cast<GLsizei>(bottom - top));
            glBindTexture(GL_TEXTURE_2D,
                          static_cast<GLuint>(reinterpret_cast<std::intptr_t>(command.GetTexID())));
            const GLsizeiptr offset =
                (firstIndex + command.IdxOffset) * GLsizeiptr(sizeof(ImDrawIdx));
            glDrawElementsBaseVertex(GL_TRIANGLES, static_cast<GLsizei>(command.ElemCount),
                                     indexType, reinterpret_cast<void*>(offset),
                                     firstVertex + static_cast<GLint>(command.VtxOffset));
        }
        firstVertex += list->VtxBuffer.Size;
        firstIndex += list->IdxBuffer.Size;
    }
    saved.restore();
}

}  // namespace dusk
