#pragma once

#include <string>
#include <vector>

namespace dusk::bench {

// One scripted key: down from `firstFrame` on, either for `frameCount` frames or, for a tap
// (`frameCount` 0), until the first debug-key poll has seen it.
struct KeyPress {
    std::string name;  // as given: F3, W, ESC, ...
    int key = 0;       // window library key code
    int firstFrame = 1;
    int frameCount = 0;
};

// The command line of dusk_bench. Frames are counted from 1.
struct Options {
    std::string command;  // "capture", "bench" or "help"
    std::string runDir;   // empty: the working directory
    int width = 0;        // 0: the size from config.txt
    int height = 0;
    double frameTime = 1.0 / 60.0;
    int frames = 0;  // 0: as many as the pictures need, and for bench the whole intro
    std::vector<double> atTimes;
    std::vector<int> atFrames;
    std::vector<KeyPress> keys;
    std::string outDir;
    std::string sheetFile;
    int sheetCount = 16;
    std::string csvFile;
    std::string chartFile;
    bool floor = false;
    bool visible = false;
};

// Fills `options` from the arguments after the program name; false with a reason otherwise.
bool parseOptions(const std::vector<std::string>& arguments, Options* options, std::string* error);

// The window library key code of a key name (F1 to F12, ESC, SPACE, W, A, S, D, UP, DOWN,
// LEFT, RIGHT; any case), or 0.
int keyCode(const std::string& name);

const char* usageText();

}  // namespace dusk::bench
