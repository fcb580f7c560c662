#pragma once

#include "unique_fd.h"

#include <array>
#include <memory>

// The read end of a pipe from a child process, in non-blocking mode, behind a ring buffer.
//
// The ring lets a talkative child go on writing while the caller reads line by line: every fill
// drains the pipe into the ring until the ring is full or the pipe is empty for now.
//
// Rules:
// - Used by one thread at a time (the application's thread); nothing here is locked.
// - The stream is at its end once the child closed its end (or reading failed); the bytes held
//   in the ring stay readable after that.
class PipeReader {
public:
    static constexpr int RING_SIZE = 10240;

    // Takes the read end and switches it to non-blocking mode; nullptr when that fails.
    static std::unique_ptr<PipeReader> create(UniqueFd readEnd);

    explicit PipeReader(UniqueFd readEnd);
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    // Moves what the pipe holds now into the ring; returns the number of bytes added.
    int fill();
    // Waits at most timeoutMs for the pipe to become readable (or to end).
    void waitForData(int timeoutMs);
    // Fills the ring, waiting while the pipe is empty but still open: afterwards the ring holds
    // bytes or the stream is at its end.
    void awaitOutput();
    // Copies up to size held bytes out of the ring; returns how many.
    int take(char* buffer, int size);

    int held() const { return m_held; }
    bool atEnd() const { return m_atEnd; }
    int descriptor() const { return m_fd.get(); }

    // Closes our end of the pipe early (at the end of the stream, or when the stream is handed
    // to another process); what the ring holds stays readable, then the stream is at its end.
    void closeStream();

private:
    UniqueFd m_fd;
    bool m_atEnd = false;
    int m_readPosition = 0;
    int m_writePosition = 0;
    int m_held = 0;
    std::array<char, RING_SIZE> m_ring {};
};

// Reads size bytes, waiting for the child when the ring is empty; returns fewer only at the end
// of the output. A reader of nullptr gives 0.
int readPipeBytes(PipeReader* reader, void* buffer, int size);

// The number of bytes held, after one fill when the ring was empty.
int pipeBytesAvailable(PipeReader* reader);

// One UTF-8 encoded character: its code point for 1 to 3 bytes, a space (32) for a 4-byte
// sequence (which is consumed), -1 for an invalid sequence or the end of the output.
int readPipeCharacter(PipeReader* reader);
