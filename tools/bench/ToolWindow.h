#pragma once

#include <string>

class Game;

namespace dusk {
class Input;
}

namespace dusk::bench {

struct Options;
class HeadlessContext;

// Opens a window with the demo's hints, or headless a pbuffer on an EGL device in `headless`,
// and builds the Game in the working directory as the demo does, with `input` in place of the
// keyboard from the start (the camera reads it when built). A size of 0 takes config.txt's.
// 0 with `*game` set, or the exit code after one error line.
int openGame(const Options& options, dusk::Input* input, HeadlessContext* headless, Game** game);

// The renderer's name, for the reports.
const char* rendererName();
// GL_VENDOR, GL_RENDERER and GL_VERSION in one line.
std::string rendererLine();

}  // namespace dusk::bench
