#pragma once

#include "unique_fd.h"

#include <utility>

// The write end of a pipe to a child's standard input.
//
// Writes go straight to the pipe (a write blocks while the pipe is full), so nothing waits in a
// buffer that a forgotten flush could lose. Writing to a child that has ended fails with -1
// instead of raising SIGPIPE.
class PipeWriter {
public:
    explicit PipeWriter(UniqueFd writeEnd)
        : m_fd(std::move(writeEnd))
    {
    }

    // Writes all size bytes; returns size, or -1 when the child has gone, the writer is closed
    // or the system refuses.
    int write(const void* bytes, int size);
    // Closes the pipe, so that the child reads the end of its input.
    void close() { m_fd.reset(); }
    bool isOpen() const { return m_fd.isOpen(); }

private:
    UniqueFd m_fd;
};
