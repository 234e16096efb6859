#pragma once

#include <atomic>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace dusk {

// The file name of a screenshot taken at `when` (local time) with the given counter:
// "dusklorne-20261207-153012-1.png".
std::string screenshotName(const std::tm& when, int counter);

// The F8 screenshots: the window's picture is read at the end of the frame, then encoded and
// written as PNG on a thread of its own, so that the frames go on meanwhile. The line that
// says how it went is printed by the frame's thread, at the first frame after it is done.
class ScreenshotWriter {
public:
    ScreenshotWriter() = default;
    ~ScreenshotWriter();  // waits for the one being written and reports it
    ScreenshotWriter(const ScreenshotWriter&) = delete;
    ScreenshotWriter& operator=(const ScreenshotWriter&) = delete;

    // Reads what the bound window framebuffer's back buffer of `width` x `height` shows now and
    // starts writing it, upright, into screenshots/ of the working directory (made when
    // missing) under the first free name. Waits for the previous screenshot first.
    void take(int width, int height);
    // Prints "screenshot saved: PATH" or "screenshot failed: PATH: REASON" for a screenshot
    // finished since the last call; a failed one leaves no file. Called every frame.
    void reportFinished();

    int counter = 0;  // the last number given to a screenshot

private:
    void write(std::string path, int width, int height);

    std::thread worker;
    std::atomic<bool> finished{false};
    std::string line;                   // written by the worker before `finished`
    std::vector<unsigned char> pixels;  // RGB rows from the bottom, as GL reads them
};

}  // namespace dusk
