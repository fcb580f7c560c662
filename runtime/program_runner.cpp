#include "program_runner.h"

#include "argument_list.h"
#include "child_process.h"
#include "pipe_writer.h"
#include "program_path.h"
#include "system_calls.h"
#include "work_area.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// How long waitForProgram sleeps between two looks at a running program.
constexpr auto END_POLL = std::chrono::milliseconds(2);
// readProgramLine reserves room for a line in steps of this size.
constexpr int LINE_STEP = 1024;
// A waiter thread only waits and stores two numbers. (16000 bytes would do, but the C library
// refuses stacks below its minimum, which is at least this.)
constexpr std::size_t WAITER_STACK = 16384;

struct ProgramRecord {
    pid_t pid = 0;
    // Both guarded by the runner mutex; written by the waiter thread or by RUN_WAIT.
    int exitCode = -1;
    bool ended = false; // the process has been reaped, so its id may already belong to another
    std::unique_ptr<PipeReader> output;
    std::unique_ptr<PipeWriter> input;
    std::unique_ptr<PipeReader> error;
};

struct RunnerState {
    std::recursive_mutex mutex;
    std::map<Handle, std::unique_ptr<ProgramRecord>> records;
    Handle lastHandle = 0;
};

// Waiter threads hold a share of the state, so that it outlives this static at process exit
// while a waiter is still blocked on its child.
const std::shared_ptr<RunnerState>& runnerState()
{
    static const std::shared_ptr<RunnerState> state = std::make_shared<RunnerState>();
    return state;
}

// The caller holds the mutex.
ProgramRecord* findRecord(RunnerState& state, Handle handle)
{
    auto it = state.records.find(handle);
    return it == state.records.end() ? nullptr : it->second.get();
}

// Looks a record up under the mutex and hands one of its parts to the caller. The parts may be
// used after unlocking: only the application's thread releases records.
template <class Part> Part lookUp(Handle handle, Part missing, Part (*part)(ProgramRecord&))
{
    RunnerState& state = *runnerState();
    std::lock_guard lock(state.mutex);
    ProgramRecord* record = findRecord(state, handle);
    return record ? part(*record) : missing;
}

PipeReader* outputOf(Handle handle)
{
    return lookUp<PipeReader*>(handle, nullptr, [](ProgramRecord& r) { return r.output.get(); });
}

void storeEnd(ProgramRecord& record, pid_t reaped, int status)
{
    record.ended = true;
    record.exitCode = reaped == record.pid ? exitCodeOf(status) : -1;
}

struct WaiterStart {
    std::shared_ptr<RunnerState> state;
    Handle handle = 0;
    pid_t pid = 0;
};

void* waitForChild(void* argument)
{
    std::unique_ptr<WaiterStart> start(static_cast<WaiterStart*>(argument));
    // The id was handed over at creation: even when the program is released before this thread
    // runs, its child is still reaped.
    int status = 0;
    pid_t reaped = waitForProcess(start->pid, &status, 0);
    std::lock_guard lock(start->state->mutex);
    if (ProgramRecord* record = findRecord(*start->state, start->handle))
        storeEnd(*record, reaped, status);
    return nullptr;
}

[[nodiscard]] bool startWaiter(Handle handle, pid_t pid)
{
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0)
        return false;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_attr_setstacksize(&attributes, std::max<std::size_t>(WAITER_STACK, PTHREAD_STACK_MIN));
    auto start = std::make_unique<WaiterStart>(WaiterStart { runnerState(), handle, pid });

    // A waiter starts with every signal blocked, so that signals meant for the application's
    // thread are never handled on it.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pthread_t thread;
    int error = startThread(&thread, &attributes, waitForChild, start.get());
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    pthread_attr_destroy(&attributes);
    if (error != 0)
        return false;
    (void)start.release(); // the thread owns it now
    return true;
}

} // namespace

void initProgramRunner()
{
    runnerState();
}

Handle startProgram(const char* name, const char* parameters, const char* folder, int flags, Handle other)
{
    initProgramRunner();
    const bool open = flags & RUN_OPEN;
    const bool wait = flags & RUN_WAIT;
    const bool connect = flags & RUN_CONNECT;
    const bool write = open && (flags & RUN_WRITE);
    if (connect && write)
        return 0; // both would feed the program's standard input

    if (findProgram(name, std::getenv("PATH")).empty())
        return 0;
    ArgumentList arguments;
    if (!arguments.build(name, parameters))
        return 0;

    PipeReader* connected = nullptr;
    if (connect) {
        connected = outputOf(other);
        if (!connected || connected->descriptor() < 0)
            return 0;
    }

    PipeEnds output;
    PipeEnds input;
    PipeEnds error;
    if (open) {
        if ((flags & RUN_READ) && !openPipe(output))
            return 0;
        if (write && !openPipe(input))
            return 0;
        if ((flags & RUN_ERROR) && !openPipe(error))
            return 0;
    }
    // Readers are made before fork, so that a failure leaves no child behind.
    const int outputEnd = output.writeEnd.get();
    const int errorEnd = error.writeEnd.get();
    std::unique_ptr<PipeReader> outputReader;
    std::unique_ptr<PipeReader> errorReader;
    if (output.readEnd.isOpen() && !(outputReader = PipeReader::create(std::move(output.readEnd))))
        return 0;
    if (error.readEnd.isOpen() && !(errorReader = PipeReader::create(std::move(error.readEnd))))
        return 0;

    ChildSetup setup;
    setup.program = name;
    setup.argv = arguments.argv();
    setup.folder = folder;
    setup.standardInput = connect ? connected->descriptor() : input.readEnd.get();
    setup.standardOutput = outputEnd;
    setup.standardError = errorEnd;
    setup.blockingInput = connect;
    pid_t pid = open || wait ? forkChild(setup) : forkOrphan(setup);
    if (pid < 0)
        return 0;

    // The child has its own copies now; ours would only keep the pipes from ending.
    output.writeEnd.reset();
    error.writeEnd.reset();
    input.readEnd.reset();
    if (connect)
        connected->closeStream();

    if (!open) {
        if (wait) {
            int status = 0;
            (void)waitForProcess(pid, &status, 0);
        }
        return 1;
    }

    auto record = std::make_unique<ProgramRecord>();
    record->pid = pid;
    record->output = std::move(outputReader);
    record->error = std::move(errorReader);
    if (input.writeEnd.isOpen())
        record->input = std::make_unique<PipeWriter>(std::move(input.writeEnd));
    if (wait) {
        int status = 0;
        pid_t reaped = waitForProcess(pid, &status, 0);
        storeEnd(*record, reaped, status);
    }

    RunnerState& state = *runnerState();
    std::lock_guard lock(state.mutex);
    Handle handle = ++state.lastHandle;
    state.records.emplace(handle, std::move(record));
    if (!wait && !startWaiter(handle, pid)) {
        // Nobody would reap the child; undo the start rather than leave it behind.
        state.records.erase(handle);
        kill(pid, SIGKILL);
        int status = 0;
        (void)waitForProcess(pid, &status, 0);
        return 0;
    }
    return handle;
}

int programAlive(Handle handle)
{
    initProgramRunner();
    RunnerState& state = *runnerState();
    PipeReader* output = nullptr;
    {
        std::lock_guard lock(state.mutex);
        ProgramRecord* record = findRecord(state, handle);
        if (!record)
            return 0;
        if (!record->output)
            return record->ended ? 0 : 1;
        output = record->output.get();
    }
    // Waiting for output (rather than answering 1 because the program still runs) means that a
    // 1 is always followed by a real line, never by an empty one made up at the end.
    output->awaitOutput();
    if (output->held() > 0)
        return 1;
    waitForProgram(handle, -1);
    return 0;
}

void readProgramLine(Handle handle)
{
    PipeReader* output = outputOf(handle);
    const int start = workAreaPosition();
    int reserved = LINE_STEP;
    reserveWorkArea(reserved, start);
    int length = 0;
    char byte = 0;
    while (output && readPipeBytes(output, &byte, 1) == 1 && byte != '\n') {
        if (length == reserved) {
            reserveWorkArea(LINE_STEP, workAreaPosition());
            reserved += LINE_STEP;
        }
        *workAreaAt(start + length) = byte;
        ++length;
    }
    truncateWorkArea(start + length);
}

int waitForProgram(Handle handle, int timeoutMs)
{
    initProgramRunner();
    RunnerState& state = *runnerState();
    const auto started = std::chrono::steady_clock::now();
    for (;;) {
        {
            std::lock_guard lock(state.mutex);
            ProgramRecord* record = findRecord(state, handle);
            if (!record)
                return 0;
            if (record->ended)
                return 1;
        }
        if (timeoutMs == 0)
            return 0;
        if (timeoutMs > 0
            && std::chrono::steady_clock::now() - started > std::chrono::milliseconds(timeoutMs))
            return 0;
        std::this_thread::sleep_for(END_POLL);
    }
}

void releaseProgram(Handle handle)
{
    initProgramRunner();
    RunnerState& state = *runnerState();
    std::unique_ptr<ProgramRecord> released;
    {
        std::lock_guard lock(state.mutex);
        auto it = state.records.find(handle);
        if (it == state.records.end())
            return;
        released = std::move(it->second);
        state.records.erase(it);
    }
    // The pipes close here, outside the lock.
}

int programExitCode(Handle handle)
{
    return lookUp<int>(handle, -1, [](ProgramRecord& r) { return r.exitCode; });
}

int programProcessId(Handle handle)
{
    return lookUp<int>(handle, 0, [](ProgramRecord& r) { return static_cast<int>(r.pid); });
}

PipeReader* programOutputReader(Handle handle)
{
    return outputOf(handle);
}

PipeReader* programErrorReader(Handle handle)
{
    return lookUp<PipeReader*>(handle, nullptr, [](ProgramRecord& r) { return r.error.get(); });
}

int writeProgramInput(Handle handle, const void* bytes, int size)
{
    PipeWriter* input = lookUp<PipeWriter*>(handle, nullptr, [](ProgramRecord& r) { return r.input.get(); });
    return input ? input->write(bytes, size) : -1;
}

void closeProgramInput(Handle handle)
{
    if (PipeWriter* input
        = lookUp<PipeWriter*>(handle, nullptr, [](ProgramRecord& r) { return r.input.get(); }))
        input->close();
}
