// The Windows build of the tool draws in a window only: it has no EGL device for headless runs
// and no POSIX shell to pipe frames to ffmpeg. Asking for either ends the run with one line.
#include "HeadlessContext.h"
#include "VideoEncoder.h"

#include <iostream>

namespace dusk::bench {

namespace {

int noHeadless() {
    std::cerr << "dusk_bench: headless runs need an EGL device, which the Windows build has none "
                 "of: run it with a window"
              << std::endl;
    return 2;
}

}  // namespace

HeadlessContext::~HeadlessContext() = default;

int HeadlessContext::open(int, int, int) {
    return noHeadless();
}

void HeadlessContext::close() {}

int listDevices(std::ostream&) {
    return noHeadless();
}

VideoEncoder::VideoEncoder(const std::string& path) : path(path) {}

bool VideoEncoder::ready() {
    std::cerr << "dusk_bench: no video from the Windows build: make '" << path
              << "' with the Linux build" << std::endl;
    return false;
}

// Never reached: a run stops when ready() says no.
bool VideoEncoder::start(const Game&, const Options&) {
    return false;
}

bool VideoEncoder::add() {
    return false;
}

bool VideoEncoder::finish(bool) {
    return false;
}

}  // namespace dusk::bench
