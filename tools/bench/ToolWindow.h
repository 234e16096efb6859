#pragma once

class Game;

namespace dusk {
class Input;
}

namespace dusk::bench {

// Opens a window with the demo's hints and builds the Game in the working directory as the demo
// does, with `input` in place of the keyboard from the start (the camera reads it when built).
// A size of 0 takes config.txt's. Null, with a message, if there is no window.
Game* openGame(int width, int height, bool visible, dusk::Input* input);

// The renderer's name, for the reports.
const char* rendererName();

}  // namespace dusk::bench
