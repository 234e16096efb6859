// The real demo as a process on the X display, and the display itself: Linux only.
#include "support/EndToEnd.h"

#include "support/BuildPaths.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

// Last: Xlib defines macros (None, Status, ...) that clash with other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace dusk::test {

// The sanitizer runtime wants to be the first library; the preloaded clock comes first.
const std::string fastClockCommand =
    "env ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" LD_PRELOAD=" +
    dusk::test::built::faketimeLibrary() + " FAKETIME='+0 x10' ";

DemoProcess::DemoProcess(const RunDirectory& dir, bool fastClock)
    : DemoProcess(dir.path(),
                  (fastClock ? fastClockCommand : std::string()) + dusk::test::built::demoBinary(),
                  dir.file("stdout.txt")) {}

DemoProcess::DemoProcess(const std::string& folder, const std::string& command,
                         const std::string& outputPath, const std::string& input)
    : outputPath_(outputPath) {
    const std::string line =
        "cd '" + folder + "' && exec " + command + " >'" + outputPath + "' <'" + input + "'";
    pid_ = fork();
    if (pid_ == 0) {
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

DemoProcess::~DemoProcess() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

bool DemoProcess::running() {
    if (!exited_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) {
        exited_ = true;
    }
    return !exited_ && pid_ > 0;
}

int DemoProcess::waitForExit(double seconds) {
    if (!waitUntil([&] { return !running(); }, seconds, "the demo to end")) {
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
        seconds, "a visible window titled Dusklorne");
    return ids.substr(0, ids.find('\n'));
}

bool holdKeyUntil(const std::string& windowId, const std::string& key,
                  const std::function<bool()>& done, double seconds, const std::string& what) {
    outputOf("xdotool windowfocus --sync " + windowId + " 2>/dev/null; xdotool keydown " + key);
    bool reached = waitUntil(done, seconds, what + " (" + key + " held)");
    outputOf("xdotool keyup " + key);
    return reached;
}

bool pressUntilPrinted(const std::string& windowId, DemoProcess& demo, const std::string& key,
                       const std::string& text, double seconds) {
    const size_t seen = demo.output().size();
    return holdKeyUntil(
        windowId, key, [&] { return demo.output().find(text, seen) != std::string::npos; }, seconds,
        "a line with \"" + text + "\"");
}

int endWithEscape(const std::string& windowId, DemoProcess& demo) {
    holdKeyUntil(
        windowId, "Escape", [&] { return !demo.running(); }, 60.0, "the demo to end");
    return demo.waitForExit(10.0);
}

// The tests' own connection to the display, kept for the whole test program. A window that has
// gone is an X error, which would end the program: errors are let pass, and each call says what
// it got.
Display* display() {
    static Display* connection = [] {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        return XOpenDisplay(nullptr);
    }();
    return connection;
}

// Through the tests' own connection: the pointer is there once the server has answered, and
// nothing waits for it to stay, since the demo's camera may put it back at once.
void moveMouse(int x, int y) {
    XWarpPointer(display(), 0, DefaultRootWindow(display()), 0, 0, 0, 0, x, y);
    XSync(display(), False);
}

bool pointerIsAt(int x, int y) {
    Window root = 0, child = 0;
    int rootX = -1, rootY = -1, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    XQueryPointer(display(), DefaultRootWindow(display()), &root, &child, &rootX, &rootY, &windowX,
                  &windowY, &buttons);
    return rootX == x && rootY == y;
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

// Read by the tests' own connection, from the display's 24-bit true colour: ImageMagick's
// import takes seconds on a busy machine.
Picture windowPicture(const std::string& windowId, const std::string& path) {
    const Window window = std::stoul(windowId);
    XWindowAttributes attributes = {};
    XImage* image = XGetWindowAttributes(display(), window, &attributes) != 0
                        ? XGetImage(display(), window, 0, 0, attributes.width, attributes.height,
                                    AllPlanes, ZPixmap)
                        : nullptr;
    if (image == nullptr) {
        return Picture();
    }
    Picture picture{image->width, image->height,
                    std::vector<unsigned char>(3 * size_t(image->width) * image->height)};
    unsigned char* rgb = picture.rgb.data();
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x, rgb += 3) {
            const unsigned long pixel = XGetPixel(image, x, y);
            rgb[0] = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
            rgb[1] = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
            rgb[2] = static_cast<unsigned char>(pixel & image->blue_mask);
        }
    }
    XDestroyImage(image);
    writePicture(picture, path);
    return picture;
}

}  // namespace x11

SettledDemo::SettledDemo(const std::string& name) : dir(name), demo(dir, true) {
    window = x11::waitForWindow(60.0);
    if (window.empty()) {
        return;
    }
    outputOf("xdotool windowfocus --sync " + window);
    // The pointer is put off the centre every half second until the camera has pulled it back
    // twice: the first time may be the camera's start-up, which a busy machine can delay past
    // the first move.
    std::chrono::steady_clock::time_point moved;  // none yet
    int pulledBack = 0;
    waitUntil(
        [&] {
            const auto now = std::chrono::steady_clock::now();
            if (moved != std::chrono::steady_clock::time_point() && x11::pointerIsAt(320, 240)) {
                ++pulledBack;
                moved = {};
            }
            if (pulledBack < 2 && now - moved > std::chrono::milliseconds(500)) {
                x11::moveMouse(600, 450);
                moved = now;
            }
            return pulledBack == 2;
        },
        120.0, "free flight: the camera pulling the pointer back to the window's centre twice");
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
        60.0, "two pictures of the view half a second apart that nearly match");
}

}  // namespace dusk::test
