#pragma once

#include "render/GL.h"

#include <cstdint>
#include <vector>

namespace dusk {

// Times the steps of a frame on the GL timeline with timestamp queries. A frame is a row of
// stamps, one before the first step and one after each step; rows live in a small ring and are
// read back frames later, once the GL says their results are in, so timing never waits for the
// GPU inside a frame. A row whose results are still out when the ring comes round to it again
// is dropped rather than waited for.
class GpuTimer {
public:
    // Makes the ring's queries: call with a current GL context, once.
    GpuTimer(int stepCount, int ringFrames = 6);
    ~GpuTimer();
    GpuTimer(const GpuTimer&) = delete;
    GpuTimer& operator=(const GpuTimer&) = delete;

    // Stamps the next boundary of the open frame; a frame opens with its first stamp. Stamps
    // beyond stepCount + 1 in one frame are ignored.
    void stamp();
    // Closes the open frame under the caller's number for it and moves on in the ring.
    void endFrame(std::int64_t frameId);

    // The oldest closed frame whose results are in: its number and each step's seconds. False
    // when none is ready; with `wait`, waits for it instead (for the end of a run only).
    bool takeFinished(std::int64_t* frameId, double* stepSeconds, bool wait = false);

    int stepCount;
    int ringFrames;
    std::int64_t dropped = 0;  // closed frames overwritten before their results came in

private:
    struct Row {
        std::int64_t frameId = -1;
        int stamped = 0;
        bool closed = false;
    };
    GLuint* queriesOf(int row) { return queries.data() + row * (stepCount + 1); }

    std::vector<GLuint> queries;  // timestamp queries, stepCount + 1 for each row of the ring
    std::vector<Row> rows;
    int writeRow = 0;  // the row the open frame stamps into
    int readRow = 0;   // the oldest closed row not yet taken
    int closedRows = 0;
};

}  // namespace dusk
