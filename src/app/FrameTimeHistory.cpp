#include "app/FrameTimeHistory.h"

#include <algorithm>
#include <cmath>

namespace dusk {

namespace {

long long tenthOf(double time) {
    return static_cast<long long>(std::floor(time * 10.0));
}

int slotOf(long long tenth) {
    const long long bins = FrameTimeHistory::graphBins;
    return static_cast<int>(((tenth % bins) + bins) % bins);
}

}  // namespace

void FrameTimeHistory::add(double now, double seconds) {
    recent[recentNext] = {now, seconds};
    recentNext = (recentNext + 1) % recentCapacity;
    recentCount = std::min(recentCount + 1, recentCapacity);

    if (!binsUsed) {
        binTenth.fill(-1);
        binsUsed = true;
    }
    // A long frame covers every tenth it spans, so that a slow picture reads as a plateau.
    const long long last = tenthOf(now);
    const long long first = std::max(tenthOf(now - seconds), last - graphBins + 1);
    for (long long tenth = first; tenth <= last; ++tenth) {
        const int slot = slotOf(tenth);
        if (binTenth[slot] != tenth) {
            binTenth[slot] = tenth;
            binLongest[slot] = 0.0;
        }
        binLongest[slot] = std::max(binLongest[slot], seconds);
    }
}

double FrameTimeHistory::medianOfLastSecond(double now) {
    int count = 0;
    for (int i = 0; i < recentCount; ++i) {
        if (recent[i].end > now - 1.0 && recent[i].end <= now) {
            scratch[count++] = recent[i].seconds;
        }
    }
    if (count == 0) {
        return 0.0;
    }
    double* middle = scratch.data() + count / 2;
    std::nth_element(scratch.data(), middle, scratch.data() + count);
    if (count % 2 == 1) {
        return *middle;
    }
    // Even count: the mean of the two middle values; the lower one is the largest below.
    const double lower = *std::max_element(scratch.data(), middle);
    return (lower + *middle) / 2.0;
}

void FrameTimeHistory::fillGraph(double now) {
    const long long last = tenthOf(now);
    for (int i = 0; i < graphBins; ++i) {
        const long long tenth = last - graphBins + 1 + i;
        const int slot = slotOf(tenth);
        graph[i] = binsUsed && binTenth[slot] == tenth
                       ? static_cast<float>(binLongest[slot] * 1000.0)
                       : 0.0f;
    }
}

}  // namespace dusk
