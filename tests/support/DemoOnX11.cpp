// The real demo as a process on the X display, and the display itself: Linux only.
#include "support/EndToEnd.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib defines macros (None, Status, ...) that clash with other headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace dusk::test {

// The sanitizer runtime wants to be the first library; the preloaded clock comes first.
const char* const fastClockCommand = "env ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" "
                                     "LD_PRELOAD=" DUSK_FAKETIME_LIBRARY " FAKETIME='+0 x10' ";

DemoProcess::DemoProcess(const RunDirectory& dir, bool fastClock)
    : DemoProcess(dir.path(), std::string(fastClock ? fastClockCommand : "") + DUSK_BINARY) {}

DemoProcess::DemoProcess(const std::string& folder, const std::string& command,
                         const std::string& input)
    : outputPath_(folder + "/stdout.txt") {
    const std::string line =
        "cd '" + folder + "' && exec " + command + " >stdout.txt <'" + input + "'";
    pid_ = fork();
    if (pid_ == 0) {
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

DemoProcess::~DemoProcess() {
    waitForExit(0.0);
}

bool DemoProcess::running() {
    if (!exited_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) {
        exited_ = true;
    }
    return !exited_ && pid_ > 0;
}

int DemoProcess::waitForExit(double seconds) {
    if (!waitUntil([&] { return !running(); }, seconds)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        exited_ = true;
        return -1;
    }
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

namespace x11 {

std::string waitForWindow(double seconds) {
    std::string ids;
    waitUntil(
        [&] {
            ids = outputOf("xdotool search --onlyvisible --name '^Dusklorne$' 2>/dev/null");
            return !ids.empty();
        },
        seconds);
    return ids.substr(0, ids.find('\n'));
}

bool holdKeyUntil(const std::string& windowId, const std::string& key,
                  const std::function<bool()>& done, double seconds) {
    outputOf("xdotool windowfocus --sync " + windowId + " 2>/dev/null; xdotool keydown " + key);
    bool reached = waitUntil(done, seconds);
    outputOf("xdotool keyup " + key);
    return reached;
}

int endWithEscape(const std::string& windowId, DemoProcess& demo) {
    holdKeyUntil(
        windowId, "Escape", [&] { return !demo.running(); }, 60.0);
    return demo.waitForExit(10.0);
}

void moveMouse(int x, int y) {
    outputOf("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
}

bool pointerIsAt(int x, int y) {
    int px = -1, py = -1;
    std::string shell = outputOf("xdotool getmouselocation --shell");
    return std::sscanf(shell.c_str(), "X=%d\nY=%d", &px, &py) == 2 && px == x && py == y;
}

// The tests' own connection to the display, kept for the whole test program.
Display* display() {
    static Display* connection = XOpenDisplay(nullptr);
    return connection;
}

void closeWindow(const std::string& windowId) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(windowId);
    event.xclient.message_type = XInternAtom(display(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display(), event.xclient.window, False, NoEventMask, &event);
    XFlush(display());
}

bool cursorIsInvisible() {
    XFixesCursorImage* image = XFixesGetCursorImage(display());
    bool invisible = image != nullptr;
    for (int i = 0; invisible && i < image->width * image->height; ++i) {
        invisible = (image->pixels[i] >> 24) == 0;
    }
    XFree(image);
    return invisible;
}

Picture windowPicture(const std::string& windowId, const std::string& path) {
    outputOf("import -window " + windowId + " " + path + " 2>/dev/null");
    return readPicture(path);
}

}  // namespace x11

SettledDemo::SettledDemo(const std::string& name) : dir(name), demo(dir, true) {
    window = x11::waitForWindow(60.0);
    if (window.empty()) {
        return;
    }
    outputOf("xdotool windowfocus --sync " + window);
    waitUntil(
        [] {
            x11::moveMouse(600, 450);
            return waitUntil([] { return x11::pointerIsAt(320, 240); }, 0.5);
        },
        120.0);
    // Several frames apart even on a busy machine, and not the blank picture of a window that
    // has not drawn yet.
    auto taken = std::chrono::steady_clock::now();
    waitUntil(
        [&] {
            if (std::chrono::steady_clock::now() - taken < std::chrono::milliseconds(500)) {
                return false;
            }
            Picture next = x11::windowPicture(window, dir.file("still.png"));
            taken = std::chrono::steady_clock::now();
            const bool drawn = std::adjacent_find(next.rgb.begin(), next.rgb.end(),
                                                  std::not_equal_to<>()) != next.rgb.end();
            const bool steady = drawn && changedShare(still, next, 25) < 0.02;
            still = next;
            return steady;
        },
        60.0);
}

}  // namespace dusk::test
