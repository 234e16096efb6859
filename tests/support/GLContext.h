#pragma once

#include "render/GL.h"

#include <gtest/gtest.h>

#include <string>

namespace dusk::test {

// One hidden window with a GL 3.3 core context for the whole test program, made on first use.
// Also sets the process-wide window size to the context's.
GLFWwindow* sharedContext();

// Base of every test that needs GL: makes the shared context current and checks that the test
// left no GL error behind.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GLFWwindow* window = nullptr;
};

// Takes every queued GL error; returns how many there were.
int takeGlErrors();

}  // namespace dusk::test
