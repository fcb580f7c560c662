#include "pipe_reader.h"

#include "system_calls.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <thread>

namespace {

// How long one wait for more output lasts before the reader looks again.
constexpr int OUTPUT_WAIT_MS = 5;

} // namespace

std::unique_ptr<PipeReader> PipeReader::create(UniqueFd readEnd)
{
    int flags = controlDescriptor(readEnd.get(), F_GETFL, 0);
    if (flags == -1 || controlDescriptor(readEnd.get(), F_SETFL, flags | O_NONBLOCK) == -1)
        return nullptr;
    return std::make_unique<PipeReader>(std::move(readEnd));
}

PipeReader::PipeReader(UniqueFd readEnd)
    : m_fd(std::move(readEnd))
    , m_atEnd(!m_fd.isOpen())
{
}

int PipeReader::fill()
{
    int added = 0;
    while (!m_atEnd && m_held < RING_SIZE) {
        if (m_held == 0)
            m_readPosition = m_writePosition = 0; // keeps the free space in one piece
        int space = m_writePosition < m_readPosition ? m_readPosition - m_writePosition
                                                     : RING_SIZE - m_writePosition;
        ssize_t got
            = readDescriptor(m_fd.get(), m_ring.data() + m_writePosition, static_cast<std::size_t>(space));
        if (got > 0) {
            int n = static_cast<int>(got);
            m_writePosition = (m_writePosition + n) % RING_SIZE;
            m_held += n;
            added += n;
            if (n < space)
                break; // the pipe is empty for now
            continue;
        }
        // 0 is the end of the stream. A read error other than "nothing yet" ends it as well;
        // waiting on a broken descriptor would never finish.
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            closeStream();
        break;
    }
    return added;
}

void PipeReader::waitForData(int timeoutMs)
{
    if (m_atEnd)
        return;
    pollfd watch { m_fd.get(), POLLIN, 0 };
    if (pollDescriptors(&watch, 1, timeoutMs) == -1)
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
}

void PipeReader::awaitOutput()
{
    fill();
    while (m_held == 0 && !m_atEnd) {
        waitForData(OUTPUT_WAIT_MS);
        fill();
    }
}

int PipeReader::take(char* buffer, int size)
{
    int done = 0;
    while (done < size && m_held > 0) {
        int run = std::min({ size - done, m_held, RING_SIZE - m_readPosition });
        std::memcpy(buffer + done, m_ring.data() + m_readPosition, static_cast<std::size_t>(run));
        m_readPosition = (m_readPosition + run) % RING_SIZE;
        m_held -= run;
        done += run;
    }
    return done;
}

void PipeReader::closeStream()
{
    m_fd.reset();
    m_atEnd = true;
}

int readPipeBytes(PipeReader* reader, void* buffer, int size)
{
    if (!reader || !buffer)
        return 0;
    char* bytes = static_cast<char*>(buffer);
    int done = 0;
    while (done < size) {
        if (reader->held() > 0) {
            done += reader->take(bytes + done, size - done);
            continue;
        }
        if (reader->atEnd())
            break;
        reader->awaitOutput();
    }
    return done;
}

int pipeBytesAvailable(PipeReader* reader)
{
    if (!reader)
        return 0;
    if (reader->held() == 0)
        reader->fill();
    return reader->held();
}

int readPipeCharacter(PipeReader* reader)
{
    unsigned char lead = 0;
    if (readPipeBytes(reader, &lead, 1) != 1)
        return -1;
    int following = 0;
    int value = 0;
    if (lead < 0x80)
        return lead;
    if ((lead & 0xE0) == 0xC0) {
        following = 1;
        value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        following = 2;
        value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        following = 3;
    } else {
        return -1; // a continuation byte or 0xF8..0xFF cannot start a character
    }
    unsigned char rest[3] = {};
    if (readPipeBytes(reader, rest, following) != following)
        return -1;
    for (int i = 0; i < following; ++i) {
        if ((rest[i] & 0xC0) != 0x80)
            return -1;
        value = (value << 6) | (rest[i] & 0x3F);
    }
    // Characters beyond the Basic Multilingual Plane have no place in our 16-bit texts.
    return following == 3 ? 32 : value;
}
