#include "child_process.h"

#include "system_calls.h"
#include "unique_fd.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Between fork and exec: only async-signal-safe calls, no allocation, no locks, and never a
// return into the caller's code.
[[noreturn]] void becomeProgram(const ChildSetup& setup)
{
    if (setup.folder && *setup.folder && changeFolder(setup.folder) != 0)
        _exit(1); // running in another folder than asked could touch the wrong files
    int sources[3] = { setup.standardInput, setup.standardOutput, setup.standardError };
    // A source that is itself 0, 1 or 2 could be overwritten by an earlier dup2; move it clear.
    for (int& source : sources) {
        if (source >= 0 && source <= 2) {
            source = controlDescriptor(source, F_DUPFD_CLOEXEC, 3);
            if (source < 0)
                _exit(1);
        }
    }
    for (int target = 0; target < 3; ++target) {
        // dup2 clears close-on-exec on the target; the sources themselves close at exec.
        if (sources[target] >= 0 && duplicateDescriptor(sources[target], target) < 0)
            _exit(1);
    }
    if (setup.blockingInput) {
        int flags = controlDescriptor(0, F_GETFL, 0);
        if (flags == -1 || controlDescriptor(0, F_SETFL, flags & ~O_NONBLOCK) == -1)
            _exit(1);
    }
    executeProgram(setup.program, setup.argv);
    _exit(1);
}

} // namespace

pid_t forkChild(const ChildSetup& setup)
{
    pid_t pid = forkProcess();
    if (pid == 0)
        becomeProgram(setup);
    return pid < 0 ? -1 : pid;
}

pid_t forkOrphan(const ChildSetup& setup)
{
    PipeEnds idPipe;
    if (!openPipe(idPipe))
        return -1;
    pid_t middle = forkProcess();
    if (middle < 0)
        return -1;
    if (middle == 0) {
        pid_t program = forkProcess();
        if (program == 0)
            becomeProgram(setup);
        std::int32_t id = program;
        if (program < 0 || writeDescriptor(idPipe.writeEnd.get(), &id, sizeof id) != sizeof id)
            _exit(1);
        _exit(0);
    }
    // Without our copy of the write end, a middle child that dies early gives us the end of the
    // pipe instead of a wait that never ends.
    idPipe.writeEnd.reset();
    std::int32_t id = 0;
    std::size_t got = 0;
    while (got < sizeof id) {
        ssize_t n = readDescriptor(idPipe.readEnd.get(), reinterpret_cast<char*>(&id) + got, sizeof id - got);
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    int status = 0;
    (void)waitForProcess(middle, &status, 0);
    return got == sizeof id && id > 0 ? static_cast<pid_t>(id) : -1;
}

int exitCodeOf(int waitStatus)
{
    if (WIFEXITED(waitStatus))
        return WEXITSTATUS(waitStatus);
    return 1;
}
