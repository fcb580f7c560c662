#include "unique_fd.h"

#include "system_calls.h"

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

int UniqueFd::release()
{
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

void UniqueFd::reset(int fd)
{
    if (m_fd >= 0)
        closeDescriptor(m_fd);
    m_fd = fd;
}

bool openPipe(PipeEnds& ends)
{
    int fds[2];
    if (createPipe(fds) != 0)
        return false;
    ends.readEnd.reset(fds[0]);
    ends.writeEnd.reset(fds[1]);
    return true;
}
