#pragma once

#include "runtime/unique_fd.h"

#include <ctime>
#include <string>
#include <vector>

// The autosaved sessions in the state folder. Each running program has its own pair of files,
// "session-<process>-<time>.lock" and the same name with ".graphonite" for the work, so that two
// programs never write the same file. The program holds an advisory lock (flock) on its lock file
// as long as it runs; the system lets go of it however the program ends, even by SIGKILL or a
// power cut, so a session whose lock can be taken belongs to a program that is gone, and one
// whose lock is held belongs to a live one and is left alone.
//
// A lock file comes into the folder already locked (it is made and locked under a hidden name
// and renamed into place), so a program starting at the same moment can never take it for a
// dead one's. Removal goes work first, lock last, so that no work is ever left without its lock.

// A dead program's session, claimed: its lock is held by this program until the object goes.
struct StaleSession {
    std::string workPath; // the work, "" when the program died before writing any
    std::string lockPath;
    std::time_t modified = 0; // when the work was last written
    UniqueFd lock;
};

class SessionStore {
public:
    // Nothing touches the folder before create or findStaleSessions.
    explicit SessionStore(std::string folder);
    // Lets go of every lock; the files stay (a clean end removes them first).
    ~SessionStore();
    SessionStore(const SessionStore&) = delete;
    SessionStore& operator=(const SessionStore&) = delete;

    // Makes the folder and this program's locked session; "" on success, else the reason.
    [[nodiscard]] std::string create();

    // The sessions of programs that are gone, newest first, each claimed. Claimed sessions
    // without work are removed on the way, as nothing of them can be restored.
    [[nodiscard]] std::vector<StaleSession> findStaleSessions();

    // The claimed session becomes this program's own (after its work was restored): its work
    // file is where the autosave writes from now on. The session made by create goes.
    void adopt(StaleSession session);
    // The claimed session stays as it is, locked, until removeSessions (a clean end) removes it;
    // if this program dies first, the next start finds it again.
    void keepAside(StaleSession session);
    // A session whose work cannot be read is renamed (".unreadable"), out of the way of every
    // later start but kept for the user.
    void setUnreadableAside(StaleSession session);

    // This program's work file; "" before create.
    [[nodiscard]] const std::string& workPath() const { return m_workPath; }
    [[nodiscard]] const std::string& folder() const { return m_folder; }

    // Removes this program's work file alone (the work was saved), the session stays.
    void removeWork();
    // A clean end: this program's session and the ones kept aside are removed.
    void removeSessions();

private:
    std::string m_folder;
    std::string m_workPath;
    std::string m_lockPath;
    UniqueFd m_lock;
    std::vector<StaleSession> m_keptAside;
};

// Removes a session's work, then its lock file.
void removeSessionFiles(const std::string& workPath, const std::string& lockPath);
