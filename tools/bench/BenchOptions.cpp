#include "BenchOptions.h"

#include "app/Platform.h"
#include "app/Startup.h"
#include "render/GL.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <strings.h>
#include <iostream>
#include <limits>

namespace dusk::bench {

namespace {

const char* const description =
    "Builds the Dusklorne scene from a run directory (config.txt, Dusklorne/Shader, Model/...) "
    "and drives it with a fixed frame time instead of the clock, so the same options give the "
    "same frames on every run. Frames are counted from 1.";

const char* const details =
    "\n"
    "Pictures: DIR/frame-N.png, and DIR/pathtime-T.png of the first frame whose pathTime is at\n"
    "least T; --targets adds NAME-shadow, NAME-depth (blue: nothing drawn), NAME-scene and\n"
    "NAME-alpha: what the passes handed on. Keys: F1..F12, ESC, SPACE, W, A, S, D, UP, DOWN,\n"
    "LEFT, RIGHT; a tap is held until a poll sees it. Without --frames a run lasts until every\n"
    "picture is taken, a bench also over the whole intro. --floor also draws each frame with\n"
    "constant-colour programs and reports each pass's ratio to that floor. Without a DISPLAY,\n"
    "or with --headless, a run draws into a pbuffer of an EGL device instead of a window\n"
    "(`dusk_bench devices` lists them). --timer gpu reads each step's time from GL timestamp\n"
    "queries frames later instead of waiting for it with glFinish.\n"
    "\n"
    "Examples:\n"
    "  dusk_bench capture --size 320x240 --dt 0.1 --at-time 0.05,0.3 --out pictures\n"
    "  dusk_bench capture --at-time 0.58 --targets --key F3@10 --out pictures\n"
    "  dusk_bench capture --dt 0.05 --sheet sheet.png --sheet-count 20\n"
    "  dusk_bench bench --size 1200x900 --floor --csv frames.csv --chart frames.png\n"
    "  dusk_bench bench --headless --device 1 --timer gpu --csv frames.csv\n"
    "  dusk_bench capture --video intro.mp4 --frames 3000 --key W@2560+300\n";

bool wholeNumber(const std::string& text, int* value) {
    char* end = nullptr;
    long parsed = std::strtol(text.c_str(), &end, 10);
    *value = static_cast<int>(parsed);
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) && *end == '\0' &&
           parsed == *value;
}

// "0.05" or "1/60", more than 0 and at most a second: a frame time of 0 would never reach a
// pathTime, and more than a second is no frame.
bool frameTimeOf(const std::string& text, Options* options) {
    double* seconds = &options->frameTime;
    char* end = nullptr;
    *seconds = std::strtod(text.c_str(), &end);
    if (*end == '/') {
        const char* denominator = end + 1;
        *seconds /= std::strtod(denominator, &end);
        if (end == denominator) {
            return false;
        }
    }
    return end != text.c_str() && *end == '\0' && *seconds > 0.0 && *seconds <= 1.0;
}

bool sizeOf(const std::string& text, Options* options) {
    size_t x = text.find_first_of("xX");
    return x != std::string::npos && wholeNumber(text.substr(0, x), &options->width) &&
           wholeNumber(text.substr(x + 1), &options->height) && options->width > 0 &&
           options->height > 0 && options->width <= largestWindowSize &&
           options->height <= largestWindowSize;
}

// The window library key code of F1 to F12, ESC, SPACE, W, A, S, D, UP, DOWN, LEFT, RIGHT (any
// case), or 0.
int keyCode(const std::string& name) {
    int number = 0;
    if (name.size() >= 2 && std::toupper(name[0]) == 'F' && wholeNumber(name.substr(1), &number)) {
        return number >= 1 && number <= 12 ? GLFW_KEY_F1 + number - 1 : 0;
    }
    const std::pair<const char*, int> named[] = {
        {"ESC", GLFW_KEY_ESCAPE}, {"ESCAPE", GLFW_KEY_ESCAPE}, {"SPACE", GLFW_KEY_SPACE},
        {"W", GLFW_KEY_W},        {"A", GLFW_KEY_A},           {"S", GLFW_KEY_S},
        {"D", GLFW_KEY_D},        {"UP", GLFW_KEY_UP},         {"DOWN", GLFW_KEY_DOWN},
        {"LEFT", GLFW_KEY_LEFT},  {"RIGHT", GLFW_KEY_RIGHT}};
    for (const auto& [each, key] : named) {
        if (strcasecmp(name.c_str(), each) == 0) {
            return key;
        }
    }
    return 0;
}

// NAME@F or NAME@F+N.
bool keyPressOf(const std::string& text, Options* options) {
    KeyPress* press = &options->keys.emplace_back();
    size_t at = text.find('@');
    size_t plus = text.find('+', at);
    press->name = text.substr(0, at);
    press->key = keyCode(press->name);
    press->frameCount = 0;
    return at != std::string::npos && press->key != 0 &&
           wholeNumber(text.substr(at + 1, plus - at - 1), &press->firstFrame) &&
           press->firstFrame >= 1 &&
           (plus == std::string::npos ||
            (wholeNumber(text.substr(plus + 1), &press->frameCount) && press->frameCount >= 1));
}

// Described as "" so that the help shows the option's own type name only.
const CLI::Validator atLeastOne = CLI::Range(1, std::numeric_limits<int>::max()).description("");

// An option read by `parse` into the options; a value it refuses is refused as CLI11 refuses
// its own, "--option: ...".
void addParsed(CLI::App* command, const std::string& name, const char* type, const char* help,
               const char* meaning, bool (*parse)(const std::string&, Options*), Options* options) {
    auto read = [=](const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            if (!parse(text, options)) {
                throw CLI::ValidationError(name, "'" + text + "' is not " + meaning);
            }
        }
    };
    command->add_option_function<std::vector<std::string>>(name, read, help)
        ->type_name(type)
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

}  // namespace

int parseCommandLine(int argc, char** argv, Options* options) {
    CLI::App app(description, "dusk_bench");
    app.footer(details);
    app.get_formatter()->column_width(26);
    CLI::App* capture = app.add_subcommand("capture", "write PNG pictures of chosen frames");
    CLI::App* bench = app.add_subcommand("bench", "time every frame pass by pass");
    CLI::App* devices = app.add_subcommand("devices", "list the EGL devices of headless runs");
    CLI::App* compare = app.add_subcommand("compare", "tell whether two pictures match");
    CLI::App* help = app.add_subcommand("help", "print this text");

    for (CLI::App* command : {capture, bench}) {
        command->footer(details);
        command->add_option("--run-dir", options->runDir, "run directory (default: here)")
            ->type_name("DIR");
        addParsed(command, "--size", "WxH", "window size (default: config.txt)",
                  "a size such as 640x480, at most 32767x32767", sizeOf, options);
        addParsed(command, "--dt", "S", "frame time in seconds, or 1/60 (the default)",
                  "a time above 0 and at most 1 s", frameTimeOf, options);
        addParsed(command, "--key", "NAME@F[+N]", "tap a key at frame F, or hold it N frames",
                  "a key name at a frame from 1 on", keyPressOf, options);
        command->add_option("--frames", options->frames, "frames to run (default: see below)")
            ->type_name("N")
            ->check(atLeastOne);
        CLI::Option* out =
            command->add_option("--out", options->outDir, "folder of the pictures (made)")
                ->type_name("DIR");
        command->add_option("--at-time", options->atTimes, "pictures at these pathTimes")
            ->delimiter(',')
            ->type_name("T,...")
            ->needs(out);
        command->add_option("--at-frame", options->atFrames, "pictures of these frames")
            ->delimiter(',')
            ->type_name("N,...")
            ->check(atLeastOne)
            ->needs(out);
        command->add_option("--sheet", options->sheetFile, "contact sheet of the whole intro")
            ->type_name("FILE");
        command->add_option("--sheet-count", options->sheetCount, "frames on the sheet (16)")
            ->type_name("N")
            ->check(CLI::Range(2, 1 << 20).description(""));
        command->add_flag("--visible", options->visible, "show the window");
        command->add_flag("--headless", options->headless, "no window: an EGL device's pbuffer");
        command->add_option("--device", options->device, "EGL device when headless (0)")
            ->type_name("N")
            ->check(CLI::NonNegativeNumber.description(""));
    }
    capture->add_flag("--targets", options->targets, "also what each pass hands on");
    capture->add_option("--video", options->videoFile, "H.264 MP4 of the intro (1920x1080)")
        ->type_name("FILE")
        ->excludes(capture->get_option("--dt"));
    capture->add_option("--fps", options->fps, "frames a second of the video (60)")
        ->type_name("N")
        ->check(CLI::Range(1, 1000).description(""))
        ->needs(capture->get_option("--video"));
    compare->add_option("pictures", options->pictures)->type_name("A B")->expected(2)->required();
    compare->add_option("--sheet", options->sheetFile, "A | B | difference")->type_name("FILE");
    bench->add_option("--csv", options->csvFile, "every frame's figures")->type_name("FILE");
    bench->add_option("--chart", options->chartFile, "chart of the frame times")->type_name("FILE");
    bench->add_flag("--floor", options->floor, "also time each pass's floor");
    std::string timer = "finish";
    bench->add_option("--timer", timer, "step times by glFinish (default) or GL timestamps")
        ->type_name("gpu|finish")
        ->check(CLI::IsMember({"gpu", "finish"}).description(""));

    try {
        app.parse(argc, argv);
        const bool pictures = !options->atTimes.empty() || !options->atFrames.empty();
        if (!capture->parsed() && !bench->parsed() && !devices->parsed() && !compare->parsed() &&
            !help->parsed()) {
            throw CLI::ValidationError("no command: capture, bench, devices, compare or help");
        }
        if (capture->parsed() && !pictures && options->sheetFile.empty() &&
            options->videoFile.empty()) {
            throw CLI::ValidationError("capture needs --at-time, --at-frame, --sheet or --video");
        }
        // A video's frame time is 1/fps, its size 1920 x 1080 unless asked; yuv420p halves it.
        if (!options->videoFile.empty()) {
            options->frameTime = 1.0 / options->fps;
            options->width = options->width > 0 ? options->width : 1920;
            options->height = options->height > 0 ? options->height : 1080;
            if (options->width % 2 + options->height % 2 > 0) {
                throw CLI::ValidationError("--size", "a video needs an even width and height");
            }
        }
        if (options->floor && timer == "gpu") {
            throw CLI::ValidationError("--floor times with glFinish, not with --timer gpu");
        }
        if (options->targets && !pictures) {
            throw CLI::ValidationError("--targets needs --at-time or --at-frame");
        }
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            return app.exit(error);
        }
        std::cerr << "dusk_bench: " << error.what() << std::endl;
        return 2;
    }
    if (help->parsed()) {
        std::cout << app.get_formatter()->make_help(&app, "dusk_bench", CLI::AppFormatMode::All);
        return 0;
    }
    options->command = capture->parsed()   ? "capture"
                       : bench->parsed()   ? "bench"
                       : compare->parsed() ? "compare"
                                           : "devices";
    options->gpuTimer = timer == "gpu";
    // Without a display server there is no window to open.
    options->headless = options->headless || !dusk::displayAvailable();
    std::sort(options->atTimes.begin(), options->atTimes.end());
    std::sort(options->atFrames.begin(), options->atFrames.end());
    return -1;
}

}  // namespace dusk::bench
