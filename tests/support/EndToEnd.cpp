#include "support/EndToEnd.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Last: Xlib defines macros (None, Status, ...) that clash with other headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace fs = std::filesystem;

namespace dusk::test {

void sleepSeconds(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

RunDirectory::RunDirectory(const std::string& name, const std::string& config) {
    path_ = std::string(DUSK_TEST_OUTPUT_DIR) + "/" + name;
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
    fs::create_directories(path_);
    fs::create_directories(path_ + "/Model");
    fs::create_directories(path_ + "/Dusklorne");
    const std::string run = DUSK_RUN_DIR;
    fs::create_directory_symlink(run + "/Dusklorne/Shader", path_ + "/Dusklorne/Shader");
    fs::create_directory_symlink(run + "/Model/Object", path_ + "/Model/Object");
    fs::create_directory_symlink(run + "/Model/Image", path_ + "/Model/Image");
    writeFile("config.txt", config);
}

void RunDirectory::writeFile(const std::string& name, const std::string& content) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << content;
}

std::string RunDirectory::readFile(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void RunDirectory::removeFile(const std::string& name) const {
    std::error_code ignored;
    fs::remove(file(name), ignored);
}

DemoProcess::DemoProcess(const RunDirectory& dir) {
    outputPath_ = dir.file("stdout.txt");
    pid_ = fork();
    if (pid_ == 0) {
        if (chdir(dir.path().c_str()) != 0) {
            _exit(127);
        }
        int out = open(outputPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open("/dev/null", O_RDONLY);
        dup2(out, STDOUT_FILENO);
        dup2(in, STDIN_FILENO);
        execl(DUSK_BINARY, DUSK_BINARY, static_cast<char*>(nullptr));
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
    if (exited_ || pid_ <= 0) {
        return false;
    }
    pid_t done = waitpid(pid_, &status_, WNOHANG);
    if (done == pid_) {
        exited_ = true;
    }
    return !exited_;
}

int DemoProcess::waitForExit(double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status_, 0);
            exited_ = true;
            return -1;
        }
        sleepSeconds(0.02);
    }
    if (WIFEXITED(status_)) {
        return WEXITSTATUS(status_);
    }
    return 128 + (WIFSIGNALED(status_) ? WTERMSIG(status_) : 0);
}

std::string DemoProcess::output() const {
    std::ifstream in(outputPath_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool DemoProcess::waitForOutput(const std::string& text, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (output().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        sleepSeconds(0.05);
    }
    return true;
}

namespace x11 {

std::string run(const std::string& command) {
    std::string result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[512];
    size_t count = 0;
    while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        result.append(buffer, count);
    }
    pclose(pipe);
    return result;
}

std::string waitForWindow(const std::string& name, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        std::string ids = run("xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null");
        if (!ids.empty()) {
            return ids.substr(0, ids.find('\n'));
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return "";
        }
        sleepSeconds(0.1);
    }
}

void holdKey(const std::string& windowId, const std::string& key, double seconds) {
    run("xdotool windowfocus --sync " + windowId + " 2>/dev/null");
    run("xdotool keydown " + key);
    sleepSeconds(seconds);
    run("xdotool keyup " + key);
}

void tapKey(const std::string& windowId, const std::string& key) {
    holdKey(windowId, key, 0.25);
}

void moveMouse(int x, int y) {
    run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
}

bool windowSize(const std::string& windowId, int* width, int* height) {
    std::string info = run("xwininfo -id " + windowId);
    auto field = [&](const std::string& label, int* value) {
        size_t at = info.find(label);
        if (at == std::string::npos) {
            return false;
        }
        *value = std::atoi(info.c_str() + at + label.size());
        return true;
    };
    return field("Width:", width) && field("Height:", height);
}

std::string windowTitle(const std::string& windowId) {
    std::string name = run("xdotool getwindowname " + windowId);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) {
        name.pop_back();
    }
    return name;
}

bool cursorIsInvisible() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return false;
    }
    bool invisible = false;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image != nullptr) {
        invisible = true;
        for (int i = 0; i < image->width * image->height; ++i) {
            if ((image->pixels[i] >> 24) != 0) {
                invisible = false;
            }
        }
        XFree(image);
    }
    XCloseDisplay(display);
    return invisible;
}

}  // namespace x11

}  // namespace dusk::test
