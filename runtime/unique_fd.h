#pragma once

// An owned file descriptor: closed (through the system-call table) when it goes out of scope.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd)
        : m_fd(fd)
    {
    }
    UniqueFd(UniqueFd&& other) noexcept
        : m_fd(other.release())
    {
    }
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Gives up ownership without closing.
    int release();
    // Closes the descriptor held so far and takes fd.
    void reset(int fd = -1);

private:
    int m_fd = -1;
};

// Both ends of a pipe, each closed on exec.
struct PipeEnds {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

// Opens a pipe into ends; false (and ends untouched) when the system refuses.
[[nodiscard]] bool openPipe(PipeEnds& ends);
