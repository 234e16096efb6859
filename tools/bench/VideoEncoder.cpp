#include "VideoEncoder.h"

#include "BenchOptions.h"

#include "game/Game.h"
#include "render/GL.h"

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/wait.h>
#include <unistd.h>

namespace dusk::bench {

namespace {

using Clock = std::chrono::steady_clock;

// m:ss of a number of seconds.
std::string minutes(double seconds) {
    const long whole = std::lround(seconds);
    return std::to_string(whole / 60) + (whole % 60 < 10 ? ":0" : ":") + std::to_string(whole % 60);
}

// As Game::update: pathTime grows in float, and the intro ends once it is past its end.
int introFrameCount(const Game& game, double frameTime) {
    float pathTime = game.pathTime;
    int frames = 0;
    for (; static_cast<double>(pathTime) <= Game::introEndPathTime; ++frames) {
        pathTime += game.pathSpeed * static_cast<float>(frameTime);
    }
    return frames;
}

}  // namespace

VideoEncoder::VideoEncoder(const std::string& path)
    : path(path), partPath(std::filesystem::path(path).replace_filename(
                      "." + std::filesystem::path(path).filename().string() + ".part")) {}

bool VideoEncoder::ready() {
    // The encoder list names libx264 when Debian's ffmpeg is there with it.
    if (std::system("ffmpeg -hide_banner -encoders 2>/dev/null | grep -q ' libx264 '") != 0) {
        std::cerr << "dusk_bench: no H.264 encoder for '" << path
                  << "': --video needs ffmpeg with libx264 (Debian package ffmpeg)" << std::endl;
        return false;
    }
    const bool writable = std::ofstream(partPath).good() && !std::filesystem::is_directory(path);
    unlink(partPath.c_str());
    if (!writable) {
        std::cerr << "dusk_bench: could not write '" << path << "'" << std::endl;
    }
    return writable;
}

bool VideoEncoder::start(const Game& game, const Options& options) {
    width = game.width;
    height = game.height;
    fps = options.fps;
    totalFrames = options.frames > 0 ? options.frames : introFrameCount(game, options.frameTime);
    pixels.resize(4 * static_cast<size_t>(width) * height);
    started = Clock::now();
    // An encoder that stops early makes writes fail instead of ending the program. GL's rows
    // start at the bottom: vflip turns them upright.
    std::signal(SIGPIPE, SIG_IGN);
    // The shell takes the file's name from the environment, whatever characters it holds.
    setenv("DUSK_VIDEO_PART", partPath.c_str(), 1);
    const std::string command =
        "ffmpeg -nostats -loglevel error -f rawvideo -pix_fmt rgba -s " + std::to_string(width) +
        "x" + std::to_string(height) + " -r " + std::to_string(fps) +
        " -i - -vf vflip -c:v libx264 -pix_fmt yuv420p -movflags +faststart -f mp4 -y "
        "\"$DUSK_VIDEO_PART\" >/dev/null 2>&1";
    encoder = popen(command.c_str(), "w");
    if (encoder == nullptr) {
        std::cerr << "dusk_bench: could not start ffmpeg for '" << path << "'" << std::endl;
    }
    return encoder != nullptr;
}

bool VideoEncoder::add() {
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    failed = failed || std::fwrite(pixels.data(), 1, pixels.size(), encoder) != pixels.size();
    frames += !failed;
    if (isatty(STDERR_FILENO) == 1) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
        std::fprintf(
            stderr, "\rvideo: frame %d of %d, %s elapsed, %s left   ", frames, totalFrames,
            minutes(elapsed).c_str(),
            minutes(elapsed / std::max(frames, 1) * std::max(totalFrames - frames, 0)).c_str());
    }
    return !failed;
}

bool VideoEncoder::finish(bool keep) {
    std::fputs(isatty(STDERR_FILENO) == 1 ? "\n" : "", stderr);  // below the progress line
    // A stream cut short is no video either.
    const int status = pclose(encoder);
    const bool encoded = !failed && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!keep || !encoded || std::rename(partPath.c_str(), path.c_str()) != 0) {
        unlink(partPath.c_str());
        if (keep || !encoded) {
            std::cerr << "dusk_bench: could not write '" << path
                      << "': " << (encoded ? "the rename failed" : "ffmpeg failed") << std::endl;
        }
        return false;
    }
    std::cout << "video: " << frames << " frames, " << width << "x" << height << " at " << fps
              << " fps -> " << path << " ("
              << minutes(std::chrono::duration<double>(Clock::now() - started).count()) << ")"
              << std::endl;
    return true;
}

}  // namespace dusk::bench
