#pragma once

#include <string>
#include <sys/types.h>

namespace dusk::test {

// A fresh run directory under the test output folder: config.txt and links to the shaders,
// models and images of the build's run directory.
class RunDirectory {
public:
    explicit RunDirectory(const std::string& name, const std::string& config = "640 480\n");
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void writeFile(const std::string& name, const std::string& content) const;
    std::string readFile(const std::string& name) const;
    void removeFile(const std::string& name) const;

private:
    std::string path_;
};

// The real dusklorne binary, started in a run directory with its standard output in a file and
// standard input closed.
class DemoProcess {
public:
    explicit DemoProcess(const RunDirectory& dir);
    ~DemoProcess();  // kills the process if it still runs

    // Waits for the exit; returns the exit code, or -1 if it did not end in time (then kills it).
    int waitForExit(double seconds);
    bool running();
    std::string output() const;
    // Waits until the output holds the text; false after the time-out.
    bool waitForOutput(const std::string& text, double seconds);
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int status_ = -1;
    bool exited_ = false;
    std::string outputPath_;
};

// X helpers through xdotool and xwininfo on $DISPLAY.
namespace x11 {
// The id of the first visible window named exactly `name`, waiting up to `seconds`; "" if none.
std::string waitForWindow(const std::string& name, double seconds);
// Holds a key (an X keysym name such as "F3" or "Escape") down for the given seconds.
void holdKey(const std::string& windowId, const std::string& key, double seconds);
void tapKey(const std::string& windowId, const std::string& key);
void moveMouse(int x, int y);
// The window's inner size from xwininfo; false if it cannot be read.
bool windowSize(const std::string& windowId, int* width, int* height);
std::string windowTitle(const std::string& windowId);
// True when the cursor the X server shows right now is fully transparent.
bool cursorIsInvisible();
// Runs a shell command and returns its standard output.
std::string run(const std::string& command);
}  // namespace x11

void sleepSeconds(double seconds);

}  // namespace dusk::test
