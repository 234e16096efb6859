#pragma once

#include "support/Files.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace dusk::test {

// Asks `done` every 20 ms until it says yes or the seconds are up; returns its last answer. When
// the time is up it prints what it waited for, `what`, so that a failure says where it stopped.
bool waitUntil(const std::function<bool()>& done, double seconds, const std::string& what);
// A shell command's standard output.
std::string outputOf(const std::string& command);

// A picture as 8-bit RGB, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[3 * (size_t(y) * width + x)]; }
};
// The picture in the file; empty when the file is missing or not a picture.
Picture readPicture(const std::string& path);
void writePicture(const Picture& picture, const std::string& path);
// The share of pixels whose colour moved by more than `tolerance` in sum over the channels; 1
// for pictures of different sizes or none.
double changedShare(const Picture& a, const Picture& b, int tolerance);

// True unless one colour covers half the picture or more: a blank window, or one the final
// pass never drew on, has one colour nearly everywhere.
bool showsAScene(const Picture& picture);

// A fresh run directory under the test output folder: config.txt and links to the shaders,
// models and images of the build's run directory.
class RunDirectory {
public:
    explicit RunDirectory(const std::string& name, const std::string& config = "640 480\n");
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The real dusklorne binary, started in a run directory with its standard output in a file and
// standard input closed. A fast clock (libfaketime) runs its time ten times as fast, so that
// the 42-second intro is over in a few seconds.
class DemoProcess {
public:
    explicit DemoProcess(const RunDirectory& dir, bool fastClock = false);
    // Any command that starts the demo (the package's launcher, wine with the Windows build), run
    // in `folder` with its standard output in `outputPath` and standard input from `input`.
    DemoProcess(const std::string& folder, const std::string& command,
                const std::string& outputPath, const std::string& input = "/dev/null");
    ~DemoProcess();  // kills the process if it still runs

    bool running();
    // The exit code, 128 + the signal that ended it, or -1 when it had to be killed after the
    // seconds.
    int waitForExit(double seconds);
    std::string output() const { return readFile(outputPath_); }

private:
    pid_t pid_ = -1;
    int status_ = 0;
    bool exited_ = false;
    std::string outputPath_;
};

// The X display of the tests, through xdotool and Xlib.
namespace x11 {

// The id of the visible window titled exactly "Dusklorne"; "" if none shows in time.
std::string waitForWindow(double seconds);
// Holds the key (an X keysym name such as "F3" or "Escape") down on the window until `done`
// says so or the seconds are up; true if it did. The demo reads keys at most ten times a
// second of its clock, between frames (at every frame when its clock is sped up), so a press is
// held until its effect shows, and a key still down at the next reading acts again.
bool holdKeyUntil(const std::string& windowId, const std::string& key,
                  const std::function<bool()>& done, double seconds, const std::string& what);
// Holds the key until the demo's output has grown by a piece that contains `text`.
bool pressUntilPrinted(const std::string& windowId, DemoProcess& demo, const std::string& key,
                       const std::string& text, double seconds = 60.0);
// Holds ESC until the demo has gone; returns its exit code.
int endWithEscape(const std::string& windowId, DemoProcess& demo);
// Puts the pointer there and returns once the X server has; the demo may move it on at once.
void moveMouse(int x, int y);
bool pointerIsAt(int x, int y);
// What a window manager's close button sends: WM_DELETE_WINDOW.
void closeWindow(const std::string& windowId);
// True when the cursor the X server shows right now is fully transparent.
bool cursorIsInvisible();

// The window's pixels as the screen shows them, also written to `path` for a look after a
// failure. Empty when the window cannot be read.
Picture windowPicture(const std::string& windowId, const std::string& path);

}  // namespace x11

// The demo (640 x 480) after its intro, sped up, its view settled: free flight has begun once
// the camera pulls the pointer back to the window's centre, and `still` is the second of two
// pictures half a second apart that are nearly the same. `window` or `still` is empty when it
// did not get there.
struct SettledDemo {
    explicit SettledDemo(const std::string& name);
    RunDirectory dir;
    DemoProcess demo;
    std::string window;
    Picture still;
};

}  // namespace dusk::test
