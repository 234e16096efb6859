#include "support/EndToEnd.h"

#include "assets/Texture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Last: Xlib defines macros (None, Status, ...) that clash with other headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace fs = std::filesystem;

namespace dusk::test {

bool waitUntil(const std::function<bool()>& done, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    bool reached = done();
    while (!reached && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        reached = done();
    }
    return reached;
}

RunDirectory::RunDirectory(const std::string& name, const std::string& config)
    : path_(freshFolder(name)) {
    const std::string run = DUSK_RUN_DIR;
    for (const char* data : {"Dusklorne/Shader", "Model/Object", "Model/Image"}) {
        fs::create_directories(fs::path(file(data)).parent_path());
        fs::create_directory_symlink(run + "/" + data, file(data));
    }
    writeFile(file("config.txt"), config);
}

DemoProcess::DemoProcess(const RunDirectory& dir, bool fastClock)
    : outputPath_(dir.file("stdout.txt")) {
    // The sanitizer runtime wants to be the first library; the preloaded clock comes first.
    const std::string clock = "env ASAN_OPTIONS=\"$ASAN_OPTIONS:verify_asan_link_order=0\" "
                              "LD_PRELOAD=" DUSK_FAKETIME_LIBRARY " FAKETIME='+0 x10' ";
    const std::string command = "cd '" + dir.path() + "' && exec " + (fastClock ? clock : "") +
                                DUSK_BINARY " >stdout.txt </dev/null";
    pid_ = fork();
    if (pid_ == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
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

std::string run(const std::string& command) {
    std::string result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[512];
    for (size_t count; (count = fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
        result.append(buffer, count);
    }
    pclose(pipe);
    return result;
}

std::string waitForWindow(double seconds) {
    std::string ids;
    waitUntil(
        [&] {
            ids = run("xdotool search --onlyvisible --name '^Dusklorne$' 2>/dev/null");
            return !ids.empty();
        },
        seconds);
    return ids.substr(0, ids.find('\n'));
}

bool holdKeyUntil(const std::string& windowId, const std::string& key,
                  const std::function<bool()>& done, double seconds) {
    run("xdotool windowfocus --sync " + windowId + " 2>/dev/null; xdotool keydown " + key);
    bool reached = waitUntil(done, seconds);
    run("xdotool keyup " + key);
    return reached;
}

int endWithEscape(const std::string& windowId, DemoProcess& demo) {
    holdKeyUntil(
        windowId, "Escape", [&] { return !demo.running(); }, 60.0);
    return demo.waitForExit(10.0);
}

void moveMouse(int x, int y) {
    run("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
}

bool pointerIsAt(int x, int y) {
    int px = -1;
    int py = -1;
    std::string shell = run("xdotool getmouselocation --shell");
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
    Picture picture;
    run("import -window " + windowId + " " + path + " 2>/dev/null");
    dusk::initializeImageLibrary();
    try {
        Magick::Image image(path);
        Magick::Blob pixels;
        image.write(&pixels, "RGB", 8);
        picture.width = static_cast<int>(image.columns());
        picture.height = static_cast<int>(image.rows());
        auto* data = static_cast<const unsigned char*>(pixels.data());
        picture.rgb.assign(data, data + pixels.length());
    } catch (const Magick::Exception&) {
        picture = Picture();
    }
    return picture;
}

}  // namespace x11

}  // namespace dusk::test
