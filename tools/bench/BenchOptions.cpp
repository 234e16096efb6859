#include "BenchOptions.h"

#include "render/GL.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace dusk::bench {

namespace {

const char* const usage =
    "Usage: dusk_bench COMMAND [OPTIONS]\n"
    "\n"
    "Builds the Dusklorne scene from a run directory (config.txt, Dusklorne/Shader, Model/...)\n"
    "and drives it with a fixed frame time instead of the clock, so the same options give the\n"
    "same frames on every run. Frames are counted from 1.\n"
    "\n"
    "Commands:\n"
    "  capture   write PNG pictures of chosen frames and a contact sheet of the intro\n"
    "  bench     time every frame, pass by pass, and report start-up, memory and allocations\n"
    "  help      print this text\n"
    "\n"
    "Options of both commands:\n"
    "  --run-dir DIR        run directory (default: the working directory)\n"
    "  --size WxH           window size (default: config.txt)\n"
    "  --dt S               frame time in seconds, a number or a fraction such as 1/60\n"
    "                       (default 1/60)\n"
    "  --frames N           frames to run (default: until every picture is taken; bench also\n"
    "                       runs the whole intro, pathTime -0.1 to 1.6)\n"
    "  --key NAME@F         tap a key at frame F: held until the next debug-key poll sees it\n"
    "  --key NAME@F+N       hold a key for N frames from frame F\n"
    "                       NAME: F1..F12, ESC, SPACE, W, A, S, D, UP, DOWN, LEFT, RIGHT\n"
    "  --at-time T,...      picture of the first frame whose pathTime is at least T\n"
    "                       (written as DIR/pathtime-T.png, T with three decimals)\n"
    "  --at-frame N,...     picture of frame N (written as DIR/frame-N.png)\n"
    "  --out DIR            folder of the pictures (made if missing)\n"
    "  --sheet FILE         contact sheet: one PNG grid of frames over the whole intro\n"
    "  --sheet-count N      frames on the contact sheet (default 16)\n"
    "  --visible            show the window (default: hidden)\n"
    "\n"
    "Options of bench:\n"
    "  --csv FILE           every frame's figures in milliseconds\n"
    "  --chart FILE         PNG chart of the frame times per pass\n"
    "  --floor              also draw every frame with each program replaced by a constant-\n"
    "                       colour one with the same vertex stage, and report each pass's\n"
    "                       ratio to that floor (pictures show the real frames)\n"
    "\n"
    "Examples:\n"
    "  dusk_bench capture --size 320x240 --dt 0.1 --at-time 0.05,0.3 --out pictures\n"
    "  dusk_bench capture --key F3@10 --at-frame 20 --out pictures\n"
    "  dusk_bench capture --dt 0.05 --sheet sheet.png --sheet-count 20\n"
    "  dusk_bench bench --size 1200x900 --floor --csv frames.csv --chart frames.png\n";

bool parseInt(const std::string& text, int* value) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-')) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < -2147483647L || parsed > 2147483647L) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

bool parseDouble(const std::string& text, double* value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || end == text.c_str()) {
        return false;
    }
    *value = parsed;
    return true;
}

// "0.05" or "1/60".
bool parseSeconds(const std::string& text, double* value) {
    size_t slash = text.find('/');
    if (slash == std::string::npos) {
        return parseDouble(text, value);
    }
    double numerator = 0.0;
    double denominator = 0.0;
    if (!parseDouble(text.substr(0, slash), &numerator) ||
        !parseDouble(text.substr(slash + 1), &denominator) || denominator == 0.0) {
        return false;
    }
    *value = numerator / denominator;
    return true;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            return items;
        }
        start = comma + 1;
    }
}

bool parseKey(const std::string& text, KeyPress* press) {
    size_t at = text.find('@');
    if (at == std::string::npos) {
        return false;
    }
    press->name = text.substr(0, at);
    press->key = keyCode(press->name);
    std::string when = text.substr(at + 1);
    size_t plus = when.find('+');
    press->frameCount = 0;
    if (plus != std::string::npos) {
        if (!parseInt(when.substr(plus + 1), &press->frameCount) || press->frameCount < 1) {
            return false;
        }
        when = when.substr(0, plus);
    }
    return press->key != 0 && parseInt(when, &press->firstFrame) && press->firstFrame >= 1;
}

bool parseSize(const std::string& text, int* width, int* height) {
    size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseInt(text.substr(0, x), width) &&
           parseInt(text.substr(x + 1), height) && *width > 0 && *height > 0;
}

}  // namespace

int keyCode(const std::string& name) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper.size() >= 2 && upper[0] == 'F') {
        int number = 0;
        if (parseInt(upper.substr(1), &number) && number >= 1 && number <= 12) {
            return GLFW_KEY_F1 + number - 1;
        }
        return 0;
    }
    struct Named {
        const char* name;
        int key;
    };
    static const Named named[] = {
        {"ESC", GLFW_KEY_ESCAPE}, {"ESCAPE", GLFW_KEY_ESCAPE}, {"SPACE", GLFW_KEY_SPACE},
        {"W", GLFW_KEY_W},        {"A", GLFW_KEY_A},           {"S", GLFW_KEY_S},
        {"D", GLFW_KEY_D},        {"UP", GLFW_KEY_UP},         {"DOWN", GLFW_KEY_DOWN},
        {"LEFT", GLFW_KEY_LEFT},  {"RIGHT", GLFW_KEY_RIGHT},
    };
    for (const Named& entry : named) {
        if (upper == entry.name) {
            return entry.key;
        }
    }
    return 0;
}

const char* usageText() {
    return usage;
}

bool parseOptions(const std::vector<std::string>& arguments, Options* options, std::string* error) {
    *options = Options();
    if (arguments.empty()) {
        *error = "no command given";
        return false;
    }
    options->command = arguments[0];
    if (options->command == "help" || options->command == "--help" || options->command == "-h") {
        options->command = "help";
        return true;
    }
    if (options->command != "capture" && options->command != "bench") {
        *error = "unknown command '" + options->command + "'";
        return false;
    }
    const bool bench = options->command == "bench";

    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto flag = [&](const char* name) { return option == name; };
        if (flag("--visible")) {
            options->visible = true;
            continue;
        }
        if (flag("--floor") && bench) {
            options->floor = true;
            continue;
        }
        const bool takesValue = flag("--run-dir") || flag("--size") || flag("--dt") ||
                                flag("--frames") || flag("--key") || flag("--at-time") ||
                                flag("--at-frame") || flag("--out") || flag("--sheet") ||
                                flag("--sheet-count") || (bench && flag("--csv")) ||
                                (bench && flag("--chart"));
        if (!takesValue) {
            *error = "unknown option '" + option + "' for " + options->command;
            return false;
        }
        if (i + 1 >= arguments.size()) {
            *error = option + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        bool good = true;
        if (flag("--run-dir")) {
            options->runDir = value;
        } else if (flag("--size")) {
            good = parseSize(value, &options->width, &options->height);
        } else if (flag("--dt")) {
            // A frame time of 0 would never reach a pathTime; more than a second is no frame.
            good = parseSeconds(value, &options->frameTime) && options->frameTime > 0.0 &&
                   options->frameTime <= 1.0;
        } else if (flag("--frames")) {
            good = parseInt(value, &options->frames) && options->frames >= 1;
        } else if (flag("--key")) {
            KeyPress press;
            good = parseKey(value, &press);
            options->keys.push_back(press);
        } else if (flag("--at-time")) {
            for (const std::string& item : splitList(value)) {
                double time = 0.0;
                good = good && parseDouble(item, &time);
                options->atTimes.push_back(time);
            }
        } else if (flag("--at-frame")) {
            for (const std::string& item : splitList(value)) {
                int frame = 0;
                good = good && parseInt(item, &frame) && frame >= 1;
                options->atFrames.push_back(frame);
            }
        } else if (flag("--out")) {
            options->outDir = value;
        } else if (flag("--sheet")) {
            options->sheetFile = value;
        } else if (flag("--sheet-count")) {
            good = parseInt(value, &options->sheetCount) && options->sheetCount >= 2;
        } else if (flag("--csv")) {
            options->csvFile = value;
        } else if (flag("--chart")) {
            options->chartFile = value;
        }
        if (!good) {
            *error = "bad value '" + value + "' for " + option;
            return false;
        }
    }

    const bool pictures = !options->atTimes.empty() || !options->atFrames.empty();
    if (pictures && options->outDir.empty()) {
        *error = "--at-time and --at-frame need --out";
        return false;
    }
    if (!bench && !pictures && options->sheetFile.empty()) {
        *error = "capture needs --at-time, --at-frame or --sheet";
        return false;
    }
    std::sort(options->atTimes.begin(), options->atTimes.end());
    std::sort(options->atFrames.begin(), options->atFrames.end());
    return true;
}

}  // namespace dusk::bench
