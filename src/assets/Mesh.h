#pragma once

#include <cstdint>

constexpr std::uint32_t INVALID_MATERIAL = 0xFFFFFFFF;

// Where one sub-mesh lies in its model's shared buffers.
struct Mesh {
    std::uint32_t indexCount = 0;  // three per triangle
    std::uint32_t baseVertex = 0;  // first vertex in the vertex streams
    std::uint32_t baseIndex = 0;   // first index in the index stream
    std::uint32_t materialIndex = INVALID_MATERIAL;
};
