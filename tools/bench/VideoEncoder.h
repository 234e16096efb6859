#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

class Game;

namespace dusk::bench {

struct Options;

// Frames of the window, encoded as H.264 in MP4 (yuv420p, which every browser plays) by
// Debian's ffmpeg reading raw RGBA frames from a pipe: the encoder runs beside the renderer on
// its own cores, and nothing of it is linked in. ffmpeg writes to a hidden name beside the
// file, renamed to the file only when everything went well.
class VideoEncoder {
public:
    explicit VideoEncoder(const std::string& path);

    // Before any frame: ffmpeg with libx264 is there and the folder takes the file. False, with
    // one error line, if not.
    bool ready();
    // Starts ffmpeg for the game's frames: --frames, or the whole intro at the frame time.
    bool start(const Game& game, const Options& options);
    // Hands the frame being drawn (the back buffer, before the swap) to the encoder and shows
    // the progress on a terminal; false once the encoder has stopped taking frames.
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
    int frames = 0;           // frames handed on
    FILE* encoder = nullptr;  // ffmpeg's standard input
    bool failed = false;      // a frame could not be handed on
    std::chrono::steady_clock::time_point started;
    std::vector<unsigned char> pixels;
};

}  // namespace dusk::bench
