#pragma once

// Runs the real dusk_bench program and reads back what it wrote: its output and PNG pictures.

#include "assets/Texture.h"
#include "support/Files.h"

#include <Magick++.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace dusk::test::bench {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs dusk_bench with the arguments, standard input closed; its output goes to files in
// `scratchDir`. `environment` changes the program's: NAME=VALUE sets, NAME alone removes.
inline ToolResult runTool(const std::vector<std::string>& arguments, const std::string& scratchDir,
                          const std::vector<std::string>& environment = {}) {
    std::filesystem::create_directories(scratchDir);
    const std::string out = scratchDir + "/stdout.txt";
    const std::string err = scratchDir + "/stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv = {const_cast<char*>(DUSK_BENCH_BINARY)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        for (const std::string& change : environment) {
            const size_t equals = change.find('=');
            equals == std::string::npos
                ? unsetenv(change.c_str())
                : setenv(change.substr(0, equals).c_str(), change.substr(equals + 1).c_str(), 1);
        }
        if (freopen(out.c_str(), "w", stdout) && freopen(err.c_str(), "w", stderr) &&
            freopen("/dev/null", "r", stdin)) {
            execv(argv[0], argv.data());
        }
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128, readFile(out), readFile(err)};
}

// A picture as 8-bit RGB, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    const std::uint8_t* at(int x, int y) const {
        return &rgb[3 * (static_cast<size_t>(y) * width + x)];
    }
};

// False if the file is missing or not a picture.
inline bool readPicture(const std::string& path, Picture* picture) {
    dusk::initializeImageLibrary();
    try {
        Magick::Image image(path);
        *picture = {static_cast<int>(image.columns()), static_cast<int>(image.rows()),
                    std::vector<std::uint8_t>(3 * image.columns() * image.rows())};
        image.write(0, 0, image.columns(), image.rows(), "RGB", Magick::CharPixel,
                    picture->rgb.data());
    } catch (const Magick::Exception&) {
        return false;
    }
    return true;
}

inline void writePicture(const Picture& picture, const std::string& path) {
    dusk::initializeImageLibrary();
    Magick::Image(static_cast<size_t>(picture.width), static_cast<size_t>(picture.height), "RGB",
                  Magick::CharPixel, picture.rgb.data())
        .write(path);
}

}  // namespace dusk::test::bench
