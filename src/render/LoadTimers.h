#pragma once

#include <chrono>

namespace dusk {

// Seconds spent in each kind of start-up work, summed over the run; read by the bench tool.
struct LoadTimers {
    double shaderSeconds = 0.0;
    double modelSeconds = 0.0;  // model import and upload, textures not included
    double textureSeconds = 0.0;
};

extern LoadTimers loadTimers;

// Adds the time of its scope to one figure of loadTimers.
class ScopedLoadTimer {
public:
    explicit ScopedLoadTimer(double& figure)
        : figure_(figure), start_(std::chrono::steady_clock::now()) {}
    ~ScopedLoadTimer() {
        figure_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    ScopedLoadTimer(const ScopedLoadTimer&) = delete;
    ScopedLoadTimer& operator=(const ScopedLoadTimer&) = delete;

private:
    double& figure_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace dusk
