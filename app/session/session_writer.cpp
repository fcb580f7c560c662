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
    submit(
        std::move(path), [text = std::move(text)]() mutable { return std::move(text); }, stamp);
}

void SessionWriter::submit(std::string path, TextMaker makeText, std::uint64_t stamp)
{
    {
        const std::lock_guard lock(m_mutex);
        m_path = std::move(path);
        m_makeText = std::move(makeText);
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
    m_makeText = nullptr;
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
        TextMaker makeText = std::move(m_makeText);
        m_makeText = nullptr;
        const std::uint64_t stamp = m_stamp;
        m_pending = false;
        m_writing = true;
        lock.unlock();
        const std::string text = makeText ? makeText() : std::string();
        std::string failure = text.empty() ? std::string() : writeFileAtomically(path, text);
        lock.lock();
        m_writing = false;
        if (!text.empty()) {
            m_failure = std::move(failure);
            if (m_failure.empty())
                m_writtenStamp = stamp;
        }
        m_done.notify_all();
    }
}
