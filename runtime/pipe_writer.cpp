#include "pipe_writer.h"

#include "system_calls.h"

int PipeWriter::write(const void* bytes, int size)
{
    if (!m_fd.isOpen() || !bytes || size < 0)
        return -1;
    const char* next = static_cast<const char*>(bytes);
    int left = size;
    while (left > 0) {
        ssize_t written = writeDescriptorQuietly(m_fd.get(), next, static_cast<std::size_t>(left));
        if (written <= 0)
            return -1;
        next += written;
        left -= static_cast<int>(written);
    }
    return size;
}
