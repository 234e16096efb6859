#include "render/GpuTimer.h"

namespace dusk {

GpuTimer::GpuTimer(int stepCount, int ringFrames)
    : stepCount(stepCount), ringFrames(ringFrames),
      queries(static_cast<size_t>(ringFrames * (stepCount + 1))), rows(ringFrames) {
    glGenQueries(static_cast<GLsizei>(queries.size()), queries.data());
}

GpuTimer::~GpuTimer() {
    glDeleteQueries(static_cast<GLsizei>(queries.size()), queries.data());
}

void GpuTimer::stamp() {
    Row& row = rows[writeRow];
    if (row.stamped == 0 && row.closed) {
        // The ring came round to a row nobody took in time: its results are given up.
        row.closed = false;
        --closedRows;
        ++dropped;
        readRow = (writeRow + 1) % ringFrames;
    }
    if (row.stamped > stepCount) {
        return;
    }
    glQueryCounter(queriesOf(writeRow)[row.stamped], GL_TIMESTAMP);
    ++row.stamped;
}

void GpuTimer::endFrame(std::int64_t frameId) {
    Row& row = rows[writeRow];
    if (row.stamped != stepCount + 1) {
        // An incomplete row has nothing to report; it is stamped again from its start.
        row.stamped = 0;
        return;
    }
    row.frameId = frameId;
    row.closed = true;
    row.stamped = 0;
    if (closedRows == 0) {
        readRow = writeRow;
    }
    ++closedRows;
    writeRow = (writeRow + 1) % ringFrames;
}

bool GpuTimer::takeFinished(std::int64_t* frameId, double* stepSeconds, bool wait) {
    if (closedRows == 0) {
        return false;
    }
    GLuint* row = queriesOf(readRow);
    if (!wait) {
        // The last stamp lands last: when its result is in, all of the row's are.
        GLint available = GL_FALSE;
        glGetQueryObjectiv(row[stepCount], GL_QUERY_RESULT_AVAILABLE, &available);
        if (available != GL_TRUE) {
            return false;
        }
    }
    GLuint64 previous = 0;
    glGetQueryObjectui64v(row[0], GL_QUERY_RESULT, &previous);
    for (int step = 0; step < stepCount; ++step) {
        GLuint64 next = 0;
        glGetQueryObjectui64v(row[step + 1], GL_QUERY_RESULT, &next);
        // Timestamps only grow on one timeline; a reordering driver must not give negatives.
        stepSeconds[step] = next > previous ? static_cast<double>(next - previous) * 1e-9 : 0.0;
        previous = next > previous ? next : previous;
    }
    *frameId = rows[readRow].frameId;
    rows[readRow].closed = false;
    --closedRows;
    readRow = (readRow + 1) % ringFrames;
    return true;
}

}  // namespace dusk
