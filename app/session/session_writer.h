#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// Writes the session's text to its file on a thread of its own, so that the disk (a flush can
// take long on a busy or slow disk) never holds up the event loop. The event loop hands over the
// text, or what makes it (a copy of the work, turned into text on the thread); texts that arrive
// while a write runs replace each other, so only the newest one is made and written next. The thread starts
// with the first text and sleeps while there is nothing to write: an idle program costs no CPU.
class SessionWriter {
public:
    SessionWriter() = default;
    // Finishes the write in progress and the one waiting, then ends the thread.
    ~SessionWriter();
    SessionWriter(const SessionWriter&) = delete;
    SessionWriter& operator=(const SessionWriter&) = delete;

    // The text of the work numbered stamp is to go to path (atomically replacing it).
    void submit(std::string path, std::string text, std::uint64_t stamp);
    // The same with the text made on the thread, by a function that holds everything it needs.
    // An empty text is not written: the file keeps the last one.
    using TextMaker = std::function<std::string()>;
    void submit(std::string path, TextMaker makeText, std::uint64_t stamp);

    // Waits until every text submitted so far is on the disk; false when the last write failed.
    [[nodiscard]] bool flush();

    // Drops the text waiting and waits for the write in progress: afterwards the thread writes
    // nothing until the next submit, so the file may be removed.
    void cancel();

    // The stamp of the newest text that reached the disk (0 before the first), and the reason
    // the last write failed ("" when it succeeded).
    [[nodiscard]] std::uint64_t writtenStamp() const;
    [[nodiscard]] std::string lastFailure() const;

private:
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // a text waits, or the end
    std::condition_variable m_done; // a write finished
    std::thread m_thread;
    std::string m_path;
    TextMaker m_makeText;
    std::uint64_t m_stamp = 0;
    bool m_pending = false;
    bool m_writing = false;
    bool m_ending = false;
    std::uint64_t m_writtenStamp = 0;
    std::string m_failure;
};
