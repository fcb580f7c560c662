#pragma once

#include <atomic>
#include <cstddef>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/types.h>

// The operating-system calls of the program runner and of file saving and reading, behind one
// replaceable table.
//
// Rules:
// - The runner reaches the system only through the functions below, so that a test can make any
//   call fail or report EINTR by swapping one entry (SystemCallOverride).
// - EINTR is retried here and nowhere else. close() is the one call that is not retried: on Linux
//   the descriptor is gone even when close() reports EINTR, and a retry could close a descriptor
//   that another thread has just been given.
// - The functions may be called between fork() and exec(): they only load an entry, call it and
//   read errno, all of which are async-signal-safe as long as the entries are.
// - Entries are atomics because waiter threads may call them while a test swaps one.
struct SystemCallTable {
    std::atomic<int (*)(int*, int)> pipe2;
    std::atomic<pid_t (*)()> fork;
    std::atomic<int (*)(int)> close;
    std::atomic<ssize_t (*)(int, void*, std::size_t)> read;
    std::atomic<ssize_t (*)(int, const void*, std::size_t)> write;
    std::atomic<pid_t (*)(pid_t, int*, int)> waitpid;
    std::atomic<int (*)(int, int)> dup2;
    std::atomic<int (*)(int, int, int)> fcntl;
    std::atomic<int (*)(pollfd*, nfds_t, int)> poll;
    std::atomic<int (*)(const char*)> chdir;
    std::atomic<int (*)(const char*, char* const*)> execvp;
    std::atomic<int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)> pthreadCreate;
    std::atomic<int (*)(int, const char*, int, mode_t)> openat;
    std::atomic<int (*)(int, struct stat*)> fstat;
    std::atomic<int (*)(int, mode_t)> fchmod;
    std::atomic<int (*)(int)> fsync;
    std::atomic<int (*)(int, const char*, int, const char*)> renameat;
    std::atomic<int (*)(int, const char*, int)> unlinkat;
};

// The live table; it starts out with the real calls.
SystemCallTable& systemCalls();

// Replaces one entry of the table for the length of a scope (tests only).
template <class Function> class SystemCallOverride {
public:
    SystemCallOverride(std::atomic<Function>& entry, Function replacement)
        : m_entry(entry)
        , m_saved(entry.exchange(replacement))
    {
    }
    ~SystemCallOverride() { m_entry.store(m_saved); }
    SystemCallOverride(const SystemCallOverride&) = delete;
    SystemCallOverride& operator=(const SystemCallOverride&) = delete;

private:
    std::atomic<Function>& m_entry;
    Function m_saved;
};

// A pipe whose two ends are closed on exec, so that no other child inherits them. 0 or -1.
[[nodiscard]] int createPipe(int ends[2]);
[[nodiscard]] pid_t forkProcess();
int closeDescriptor(int fd);
[[nodiscard]] ssize_t readDescriptor(int fd, void* buffer, std::size_t size);
[[nodiscard]] ssize_t writeDescriptor(int fd, const void* buffer, std::size_t size);
// Like writeDescriptor, but a reader that has gone gives EPIPE instead of raising SIGPIPE, which
// would end the whole process.
[[nodiscard]] ssize_t writeDescriptorQuietly(int fd, const void* buffer, std::size_t size);
[[nodiscard]] pid_t waitForProcess(pid_t pid, int* status, int options);
[[nodiscard]] int duplicateDescriptor(int fd, int target);
[[nodiscard]] int controlDescriptor(int fd, int command, int argument);
[[nodiscard]] int pollDescriptors(pollfd* fds, nfds_t count, int timeoutMs);
[[nodiscard]] int changeFolder(const char* folder);
// Returns only on failure (-1).
int executeProgram(const char* name, char* const* argv);
// Opens name relative to the folder open as folder (AT_FDCWD: the working folder); a descriptor or
// -1. mode matters only when the file is created.
[[nodiscard]] int openFileAt(int folder, const char* name, int flags, mode_t mode = 0);
[[nodiscard]] int describeDescriptor(int fd, struct stat* info);
[[nodiscard]] int changeDescriptorMode(int fd, mode_t mode);
// Waits until the file's data (or a folder's entries) are on the disk.
[[nodiscard]] int syncDescriptor(int fd);
[[nodiscard]] int renameFileAt(int fromFolder, const char* from, int toFolder, const char* to);
int removeFileAt(int folder, const char* name);
// Returns 0 or an error number, like pthread_create.
[[nodiscard]] int startThread(
    pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument);
