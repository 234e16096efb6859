#include "VideoEncoder.h"

#include "game/Game.h"
#include "render/GL.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <sys/wait.h>
#include <unistd.h>

namespace dusk::bench {

namespace {

using Clock = std::chrono::steady_clock;

// m:ss of a number of seconds.
std::string minutes(double seconds) {
    char text[32];
    const long whole = static_cast<long>(seconds + 0.5);
    std::snprintf(text, sizeof(text), "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

VideoEncoder::VideoEncoder(const std::string& path) : path(path) {
    std::filesystem::path file(path);
    partPath = (file.parent_path() / ("." + file.filename().string() + ".part")).string();
}

VideoEncoder::~VideoEncoder() {
    if (encoder > 0) {
        finish(false);
    }
}

bool VideoEncoder::ready() {
    // The encoder list names libx264 when Debian's ffmpeg is there with it.
    std::string encoders;
    if (FILE* list = popen("ffmpeg -hide_banner -encoders 2>/dev/null", "r")) {
        char text[4096];
        for (size_t n; (n = std::fread(text, 1, sizeof(text), list)) > 0;) {
            encoders.append(text, n);
        }
        pclose(list);
    }
    if (encoders.find(" libx264 ") == std::string::npos) {
        std::cerr << "dusk_bench: no H.264 encoder for '" << path
                  << "': --video needs ffmpeg with libx264 (Debian package ffmpeg)" << std::endl;
        return false;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(partPath).parent_path(), ignored);
    const int probe = open(partPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (probe < 0 || std::filesystem::is_directory(path)) {
        std::cerr << "dusk_bench: could not write '" << path << "'" << std::endl;
        if (probe >= 0) {
            close(probe);
            unlink(partPath.c_str());
        }
        return false;
    }
    close(probe);
    unlink(partPath.c_str());
    return true;
}

bool VideoEncoder::start(int frameWidth, int frameHeight, int framesPerSecond, int total) {
    width = frameWidth;
    height = frameHeight;
    fps = framesPerSecond;
    totalFrames = total;
    pixels.resize(4 * static_cast<size_t>(width) * height);
    terminal = isatty(STDERR_FILENO) == 1;
    started = shown = Clock::now();
    // An encoder that stops early makes writes fail with EPIPE instead of ending the program.
    std::signal(SIGPIPE, SIG_IGN);
    int ends[2];
    if (::pipe(ends) != 0) {
        std::cerr << "dusk_bench: could not start ffmpeg for '" << path << "'" << std::endl;
        return false;
    }
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    encoder = fork();
    if (encoder == 0) {
        dup2(ends[0], STDIN_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        close(ends[0]);
        close(ends[1]);
        // GL's rows start at the bottom: vflip turns them upright.
        execlp("ffmpeg", "ffmpeg", "-nostats", "-loglevel", "error", "-f", "rawvideo", "-pix_fmt",
               "rgba", "-s", size.c_str(), "-r", rate.c_str(), "-i", "-", "-vf", "vflip", "-c:v",
               "libx264", "-pix_fmt", "yuv420p", "-movflags", "+faststart", "-f", "mp4", "-y",
               partPath.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[0]);
    pipe = ends[1];
    return encoder > 0;
}

bool VideoEncoder::add() {
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t done = 0; pipe >= 0 && done < pixels.size();) {
        const ssize_t n = write(pipe, pixels.data() + done, pixels.size() - done);
        if (n < 0 && errno != EINTR) {
            close(pipe);
            pipe = -1;
        }
        done += n > 0 ? static_cast<size_t>(n) : 0;
    }
    frames += pipe >= 0;
    // Shown at most five times a second, and for the last frame.
    const Clock::time_point now = Clock::now();
    if (terminal && (now - shown > std::chrono::milliseconds(200) || frames == totalFrames)) {
        shown = now;
        const double elapsed = std::chrono::duration<double>(now - started).count();
        const double left = elapsed / std::max(frames, 1) * std::max(totalFrames - frames, 0);
        std::fprintf(stderr, "\rvideo: frame %d of %d, %s elapsed, %s left   ", frames, totalFrames,
                     minutes(elapsed).c_str(), minutes(left).c_str());
        std::fflush(stderr);
    }
    return pipe >= 0;
}

bool VideoEncoder::finish(bool keep) {
    if (terminal) {
        std::fputs("\n", stderr);
    }
    // A stream cut short, by a write that failed, is no video either.
    bool encoded = pipe >= 0;
    if (pipe >= 0) {
        close(pipe);
        pipe = -1;
    }
    int status = -1;
    while (encoder > 0 && waitpid(encoder, &status, 0) < 0 && errno == EINTR) {
    }
    encoder = -1;
    encoded = encoded && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!keep || !encoded || std::rename(partPath.c_str(), path.c_str()) != 0) {
        unlink(partPath.c_str());
        if (keep || !encoded) {
            std::cerr << "dusk_bench: could not write '" << path << "': "
                      << (encoded ? "the rename failed" : "ffmpeg failed") << std::endl;
        }
        return false;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    std::cout << "video: " << frames << " frames, " << width << "x" << height << " at " << fps
              << " fps -> " << path << " (" << minutes(seconds) << ")" << std::endl;
    return true;
}

int introFrameCount(const Game& game, double frameTime) {
    // As Game::update: pathTime grows in float, and the intro ends once it is above 1.6.
    float pathTime = game.pathTime;
    int frames = 0;
    for (; static_cast<double>(pathTime) <= 1.6; ++frames) {
        pathTime += game.pathSpeed * static_cast<float>(frameTime);
    }
    return frames;
}

}  // namespace dusk::bench
