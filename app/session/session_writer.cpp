#include "session_writer.h"

#include "runtime/atomic_file.h"

SessionWriter::~SessionWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void SessionWriter::submit(std::string path, std::string text, std::uint64_t stamp)
{
    {
        const std::lock_guard lock(m_mutex);
        m_path = std::move(path);
        m_text = std::move(text);
        m_stamp = stamp;
        m_pending = true;
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
}

bool SessionWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return !m_pending && !m_writing; });
    return m_failure.empty();
}

void SessionWriter::cancel()
{
    std::unique_lock lock(m_mutex);
    m_pending = false;
    m_text.clear();
    m_done.wait(lock, [this] { return !m_writing; });
}

std::uint64_t SessionWriter::writtenStamp() const
{
    const std::lock_guard lock(m_mutex);
    return m_writtenStamp;
}

std::string SessionWriter::lastFailure() const
{
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

void SessionWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_pending || m_ending; });
        if (!m_pending)
            return;
        const std::string path = std::move(m_path);
        const std::string text = std::move(m_text);
        const std::uint64_t stamp = m_stamp;
        m_pending = false;
        m_writing = true;
        lock.unlock();
        std::string failure = writeFileAtomically(path, text);
        lock.lock();
        m_writing = false;
        m_failure = std::move(failure);
        if (m_failure.empty())
            m_writtenStamp = stamp;
        m_done.notify_all();
    }
}
