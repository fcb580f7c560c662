#include "system_calls.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int realFcntl(int fd, int command, int argument)
{
    return ::fcntl(fd, command, argument);
}

// openat takes the mode as a variable argument, which a table entry cannot have.
int realOpenat(int folder, const char* name, int flags, mode_t mode)
{
    return ::openat(folder, name, flags, mode);
}

int realExecvp(const char* name, char* const* argv)
{
    return ::execvp(name, argv);
}

// The only place where an interrupted call is repeated.
template <class Call> auto retryOnInterrupt(Call call)
{
    for (;;) {
        auto result = call();
        if (result != -1 || errno != EINTR)
            return result;
    }
}

// Constant-initialised, so that no first-use guard runs, not even in a freshly forked child.
constinit SystemCallTable g_table {
    ::pipe2,
    ::fork,
    ::close,
    ::read,
    ::write,
    ::waitpid,
    ::dup2,
    realFcntl,
    ::poll,
    ::chdir,
    realExecvp,
    ::pthread_create,
    realOpenat,
    ::fstat,
    ::fchmod,
    ::fsync,
    ::renameat,
    ::unlinkat,
};

} // namespace

SystemCallTable& systemCalls()
{
    return g_table;
}

int createPipe(int ends[2])
{
    return retryOnInterrupt([&] { return systemCalls().pipe2.load()(ends, O_CLOEXEC); });
}

pid_t forkProcess()
{
    return retryOnInterrupt([] { return systemCalls().fork.load()(); });
}

int closeDescriptor(int fd)
{
    return systemCalls().close.load()(fd);
}

ssize_t readDescriptor(int fd, void* buffer, std::size_t size)
{
    return retryOnInterrupt([&] { return systemCalls().read.load()(fd, buffer, size); });
}

ssize_t writeDescriptor(int fd, const void* buffer, std::size_t size)
{
    return retryOnInterrupt([&] { return systemCalls().write.load()(fd, buffer, size); });
}

ssize_t writeDescriptorQuietly(int fd, const void* buffer, std::size_t size)
{
    // SIGPIPE from write() is sent to the writing thread. Block it around the call, and when the
    // write raised it, take it off the pending set before unblocking, unless it was pending for
    // some other reason already.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigset_t pending;
    sigpending(&pending);
    bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;

    ssize_t written = writeDescriptor(fd, buffer, size);
    int error = errno;
    if (written == -1 && error == EPIPE && !alreadyPending) {
        timespec noWait {};
        retryOnInterrupt([&] { return sigtimedwait(&pipeSignal, nullptr, &noWait); });
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

pid_t waitForProcess(pid_t pid, int* status, int options)
{
    return retryOnInterrupt([&] { return systemCalls().waitpid.load()(pid, status, options); });
}

int duplicateDescriptor(int fd, int target)
{
    return retryOnInterrupt([&] { return systemCalls().dup2.load()(fd, target); });
}

int controlDescriptor(int fd, int command, int argument)
{
    return retryOnInterrupt([&] { return systemCalls().fcntl.load()(fd, command, argument); });
}

int pollDescriptors(pollfd* fds, nfds_t count, int timeoutMs)
{
    return retryOnInterrupt([&] { return systemCalls().poll.load()(fds, count, timeoutMs); });
}

int changeFolder(const char* folder)
{
    return retryOnInterrupt([&] { return systemCalls().chdir.load()(folder); });
}

int executeProgram(const char* name, char* const* argv)
{
    return systemCalls().execvp.load()(name, argv);
}

int startThread(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument)
{
    // pthread_create reports its error as the result and never EINTR.
    return systemCalls().pthreadCreate.load()(thread, attributes, start, argument);
}

int openFileAt(int folder, const char* name, int flags, mode_t mode)
{
    return retryOnInterrupt([&] { return systemCalls().openat.load()(folder, name, flags, mode); });
}

int describeDescriptor(int fd, struct stat* info)
{
    return retryOnInterrupt([&] { return systemCalls().fstat.load()(fd, info); });
}

int changeDescriptorMode(int fd, mode_t mode)
{
    return retryOnInterrupt([&] { return systemCalls().fchmod.load()(fd, mode); });
}

int syncDescriptor(int fd)
{
    return retryOnInterrupt([&] { return systemCalls().fsync.load()(fd); });
}

int renameFileAt(int fromFolder, const char* from, int toFolder, const char* to)
{
    return retryOnInterrupt([&] { return systemCalls().renameat.load()(fromFolder, from, toFolder, to); });
}

int removeFileAt(int folder, const char* name)
{
    return retryOnInterrupt([&] { return systemCalls().unlinkat.load()(folder, name, 0); });
}
