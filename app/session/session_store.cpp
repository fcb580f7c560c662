#include "session_store.h"

#include "user_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char LOCK_SUFFIX[] = ".lock";
constexpr const char WORK_SUFFIX[] = ".graphonite";
constexpr const char UNREADABLE_SUFFIX[] = ".unreadable";
constexpr const char SESSION_PREFIX[] = "session-";

bool endsWith(const std::string& text, const char* suffix)
{
    const std::size_t length = std::strlen(suffix);
    return text.size() > length && text.compare(text.size() - length, length, suffix) == 0;
}

std::string withoutSuffix(const std::string& text, const char* suffix)
{
    return text.substr(0, text.size() - std::strlen(suffix));
}

// A name no other program takes: the process number alone repeats after a restart, the clock
// alone when two programs start together.
std::string sessionStem()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::string(SESSION_PREFIX) + std::to_string(::getpid()) + "-" + std::to_string(now.tv_sec) + "-"
        + std::to_string(now.tv_nsec);
}

// Takes the lock without waiting: held by a live program, it is not ours to take.
bool tryLock(int fd)
{
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace

void removeSessionFiles(const std::string& workPath, const std::string& lockPath)
{
    if (!workPath.empty())
        ::unlink(workPath.c_str());
    if (!lockPath.empty())
        ::unlink(lockPath.c_str());
}

SessionStore::SessionStore(std::string folder)
    : m_folder(std::move(folder))
{
}

SessionStore::~SessionStore() = default;

std::string SessionStore::create()
{
    if (m_lock.isOpen())
        return {};
    if (std::string reason = makeFolders(m_folder); !reason.empty())
        return reason;
    const std::string stem = m_folder + "/" + sessionStem();
    const std::string hidden = m_folder + "/." + sessionStem() + LOCK_SUFFIX;
    UniqueFd lock(::open(hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!lock.isOpen())
        return std::strerror(errno);
    if (!tryLock(lock.get()) || ::rename(hidden.c_str(), (stem + LOCK_SUFFIX).c_str()) != 0) {
        const int error = errno;
        ::unlink(hidden.c_str());
        return std::strerror(error);
    }
    m_lock = std::move(lock);
    m_lockPath = stem + LOCK_SUFFIX;
    m_workPath = stem + WORK_SUFFIX;
    return {};
}

std::vector<StaleSession> SessionStore::findStaleSessions()
{
    std::vector<StaleSession> found;
    DIR* folder = ::opendir(m_folder.c_str());
    if (!folder)
        return found;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.rfind(SESSION_PREFIX, 0) != 0 || !endsWith(name, LOCK_SUFFIX))
            continue;
        const std::string lockPath = m_folder + "/" + name;
        if (lockPath == m_lockPath)
            continue;
        UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
        if (!lock.isOpen() || !tryLock(lock.get()))
            continue;
        // The lock may have been taken from a file that its dead owner's finder removed
        // meanwhile; only the file still in place counts.
        struct stat held { };
        struct stat named { };
        if (::fstat(lock.get(), &held) != 0 || ::stat(lockPath.c_str(), &named) != 0
            || held.st_ino != named.st_ino || held.st_dev != named.st_dev)
            continue;
        StaleSession session;
        session.lockPath = lockPath;
        session.lock = std::move(lock);
        const std::string workPath = m_folder + "/" + withoutSuffix(name, LOCK_SUFFIX) + WORK_SUFFIX;
        struct stat work { };
        if (::stat(workPath.c_str(), &work) == 0 && S_ISREG(work.st_mode)) {
            session.workPath = workPath;
            session.modified = work.st_mtime;
            found.push_back(std::move(session));
        } else {
            removeSessionFiles({}, lockPath);
        }
    }
    ::closedir(folder);
    std::sort(found.begin(), found.end(),
        [](const StaleSession& a, const StaleSession& b) { return a.modified > b.modified; });
    return found;
}

void SessionStore::adopt(StaleSession session)
{
    removeSessionFiles(m_workPath, m_lockPath);
    m_lock = std::move(session.lock);
    m_lockPath = std::move(session.lockPath);
    m_workPath = std::move(session.workPath);
}

void SessionStore::keepAside(StaleSession session)
{
    m_keptAside.push_back(std::move(session));
}

void SessionStore::setUnreadableAside(StaleSession session)
{
    if (!session.workPath.empty())
        ::rename(session.workPath.c_str(), (session.workPath + UNREADABLE_SUFFIX).c_str());
    removeSessionFiles({}, session.lockPath);
}

void SessionStore::removeWork()
{
    if (!m_workPath.empty())
        ::unlink(m_workPath.c_str());
}

void SessionStore::removeSessions()
{
    for (StaleSession& session : m_keptAside)
        removeSessionFiles(session.workPath, session.lockPath);
    m_keptAside.clear();
    removeSessionFiles(m_workPath, m_lockPath);
    m_lock.reset();
    m_workPath.clear();
    m_lockPath.clear();
}
