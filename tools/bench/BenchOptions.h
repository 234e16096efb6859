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
    std::string command;  // "capture", "bench", "devices", "compare" or "help"
    std::string runDir;   // empty: the working directory
    int width = 0;        // 0: the size from config.txt
    int height = 0;
    double frameTime = 1.0 / 60.0;
    int frames = 0;  // 0: as many as the pictures need, and for bench the whole intro
    std::vector<double> atTimes;
    std::vector<int> atFrames;
    std::vector<KeyPress> keys;
    std::string outDir;
    bool targets = false;  // also what each pass hands on, for every picture in outDir
    std::string sheetFile;
    int sheetCount = 16;
    std::string csvFile;
    std::string chartFile;
    bool floor = false;
    bool visible = false;
    bool headless = false;  // an EGL device and a pbuffer: --headless, or no DISPLAY
    int device = 0;         // the EGL device of a headless run, from 0
    bool gpuTimer = false;  // --timer gpu: timestamp queries instead of glFinish around steps
    std::string videoFile;  // with fps, a video instead of the size of config.txt: 1920x1080
    int fps = 60;
    std::vector<std::string> pictures;  // the two of compare
};

// Reads the arguments into `options`. Returns -1 to go on, or the exit code to end with: 0
// after a help text, 2 after a one-line error on standard error.
int parseCommandLine(int argc, char** argv, Options* options);

}  // namespace dusk::bench
