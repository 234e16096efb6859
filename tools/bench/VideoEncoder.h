#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

class Game;

namespace dusk::bench {

// Frames of the window, encoded as H.264 in MP4 (yuv420p, which every browser plays) by
// Debian's ffmpeg reading raw RGBA frames from a pipe: the encoder runs beside the renderer on
// its own cores, and nothing of it is linked in. ffmpeg writes to a hidden name beside the
// file, renamed to the file only when everything went well.
class VideoEncoder {
public:
    explicit VideoEncoder(const std::string& path);
    ~VideoEncoder();

    // Before any frame: ffmpeg with libx264 is there and the folder takes the file. False, with
    // one error line, if not.
    bool ready();
    // Starts ffmpeg for `totalFrames` frames (the total of the progress display) of this size.
    bool start(int width, int height, int fps, int totalFrames);
    // Hands the frame being drawn (the back buffer, before the swap) to the encoder and shows
    // the progress; false once the encoder has stopped taking frames.
    bool add();
    // Ends the stream and renames the video into place if `keep` and ffmpeg succeeded; the
    // hidden file goes in any case. True with a line on standard output if the video is there.
    bool finish(bool keep);

    std::string path;
    std::string partPath;  // the hidden name ffmpeg writes
    int width = 0;
    int height = 0;
    int fps = 0;
    int totalFrames = 0;
    int frames = 0;  // frames handed on
    int pipe = -1;   // write end of ffmpeg's standard input
    pid_t encoder = -1;
    bool terminal = false;  // the progress goes to a terminal: updated in place
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point shown;
    std::vector<unsigned char> pixels;
};

// Frames of `frameTime` until the intro has handed over to the player, counted as Game::update
// advances the float pathTime.
int introFrameCount(const Game& game, double frameTime);

}  // namespace dusk::bench
