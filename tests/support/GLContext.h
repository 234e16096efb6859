#pragma once

#include "render/GL.h"

#include <gtest/gtest.h>

namespace dusk::test {

// Takes every queued GL error; returns how many there were.
int takeGlErrors();

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
