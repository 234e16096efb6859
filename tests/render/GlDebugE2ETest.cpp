#include "support/EndToEnd.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <vector>

namespace {

using namespace dusk::test;

// One frame of a trace: its debug group pushes and pops in order ("+name", "-").
using Frame = std::vector<std::string>;

struct Trace {
    std::vector<Frame> frames;
    std::string labels;  // every glObjectLabel line
    int debugCalls = 0;  // calls of GL_KHR_debug of any kind
};

// Runs the real binary under apitrace's tracer (its preloaded library) until the overlay has
// shown, then ends it and reads the trace back with `apitrace dump`.
Trace traced(const std::string& name, bool debug) {
    RunDirectory dir(name, "160 120\n");
    const std::string file = dir.file("dusklorne.trace");
    setenv("LD_PRELOAD", "/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so", 1);
    setenv("TRACE_FILE", file.c_str(), 1);
    debug ? setenv("DUSK_GL_DEBUG", "1", 1) : unsetenv("DUSK_GL_DEBUG");
    DemoProcess demo(dir);
    unsetenv("LD_PRELOAD");
    unsetenv("TRACE_FILE");
    unsetenv("DUSK_GL_DEBUG");
    const std::string window = x11::waitForWindow(60.0);
    EXPECT_FALSE(window.empty()) << demo.output();
    EXPECT_TRUE(x11::pressUntilPrinted(window, demo, "F6", "enable overlay\n"));
    EXPECT_EQ(x11::endWithEscape(window, demo), 0);

    Trace trace;
    trace.frames.emplace_back();
    const std::regex group("glPushDebugGroup\\(.*message = \"([^\"]*)\"\\)");
    std::smatch match;
    for (const std::string& line :
         linesOf(outputOf("apitrace dump --color=never '" + file +
                          "' | grep -E 'glXSwapBuffers|Debug|glObjectLabel'"))) {
        trace.debugCalls += line.find("glXSwapBuffers") == std::string::npos;
        if (line.find("glXSwapBuffers") != std::string::npos) {
            trace.frames.emplace_back();
        } else if (std::regex_search(line, match, group)) {
            trace.frames.back().push_back("+" + match[1].str());
        } else if (line.find("glPopDebugGroup") != std::string::npos) {
            trace.frames.back().push_back("-");
        } else if (line.find("glObjectLabel") != std::string::npos) {
            trace.labels += line + "\n";
        }
    }
    // The window library swaps once as it makes the context, and the end cuts the last frame.
    trace.frames.pop_back();
    trace.frames.erase(trace.frames.begin());
    return trace;
}

// With DUSK_GL_DEBUG=1 every frame of a trace of the real binary holds the five passes as
// named groups in order, and the overlay's once shown, and the objects carry labels; without
// it the trace holds no call of GL_KHR_debug at all.
TEST(GlDebugE2ETest, ATraceNamesThePassesAndObjectsOnlyWithTheVariable) {
    const Trace plain = traced("gl-debug-off", false);
    EXPECT_GT(plain.frames.size(), 2u);
    EXPECT_EQ(plain.debugCalls, 0) << plain.labels;

    const Trace trace = traced("gl-debug-on", true);
    ASSERT_GT(trace.frames.size(), 2u);
    const Frame passes = {"+1 shadow map", "-", "+2 camera depth", "-", "+3 scene", "-",
                          "+4 particles",  "-", "+5 lens flare",   "-"};
    Frame withOverlay = passes;
    withOverlay.insert(withOverlay.end(), {"+overlay", "-"});
    size_t overlayFrames = 0;
    for (size_t i = 0; i < trace.frames.size(); ++i) {
        overlayFrames += trace.frames[i] == withOverlay;
        EXPECT_TRUE(trace.frames[i] == passes || trace.frames[i] == withOverlay) << "frame " << i;
    }
    EXPECT_GT(overlayFrames, 0u);
    for (auto [kind, label] : {std::pair{"TEXTURE", "shadow map"},
                               {"FRAMEBUFFER", "scene target"},
                               {"BUFFER", "screen quad positions"},
                               {"PROGRAM", "blinnphong.vert \\+ sky.frag"},
                               {"TEXTURE", "Model/Image/stone11.jpg"},
                               {"TEXTURE", "overlay: shadow map"}}) {
        const std::string line = std::string("GL_") + kind +
                                 ", name = [0-9]+, length = [0-9]+, label = \"" + label + "\"";
        EXPECT_TRUE(std::regex_search(trace.labels, std::regex(line))) << line;
    }
}

}  // namespace
