#pragma once

#include "render/GL.h"

#include <gtest/gtest.h>

#include <vector>

namespace dusk::test {

// Takes every queued GL error; returns how many there were.
int takeGlErrors();

// The RGBA pixels of the framebuffer's lower left width x height, bottom row first; the window's
// with framebuffer 0. Leaves the window's framebuffer bound for reading.
std::vector<unsigned char> readPixels(GLuint framebuffer = 0, int width = 320, int height = 240);

// Base of every test that needs GL: one hidden 320 x 240 window with a GL 3.3 core context for
// the whole test program, made on first use (the process-wide window size is set to it), and a
// test that leaves a GL error behind fails.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GLFWwindow* window = nullptr;
};

}  // namespace dusk::test
