#include "runtime/argument_list.h"
#include "runtime/pipe_reader.h"
#include "runtime/program_path.h"
#include "runtime/program_runner.h"
#include "runtime/system_calls.h"
#include "runtime/work_area.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The application's way of reading a program: one line per programAlive.
Lines readAllLines(Handle program)
{
    Lines lines;
    while (programAlive(program)) {
        WorkAreaMark mark;
        readProgramLine(program);
        lines.emplace_back(mark.text(), static_cast<std::size_t>(workAreaPosition() - mark.mark()));
    }
    return lines;
}

Lines outputOf(const char* name, const char* parameters, const char* folder = nullptr)
{
    Handle program = startProgram(name, parameters, folder, RUN_OPEN | RUN_READ, 0);
    EXPECT_NE(program, 0) << name << ' ' << parameters;
    Lines lines = readAllLines(program);
    EXPECT_EQ(programExitCode(program), 0) << name << ' ' << parameters;
    releaseProgram(program);
    return lines;
}

int openDescriptorCount()
{
    int count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder))
            ++count;
        closedir(folder);
    }
    return count;
}

// The state letter of a process from /proc/<pid>/stat, and its parent; the name may hold blanks
// and parentheses, so the fields are read after the last ')'.
// The text of a /proc file, or "" when the process is gone. Plain read(): a process that ends
// while it is read makes read() fail with ESRCH, which std::ifstream turns into an exception.
std::string procText(int pid, const char* entry)
{
    std::string path = "/proc/" + std::to_string(pid) + "/" + entry;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    char buffer[1024];
    ssize_t n = read(fd, buffer, sizeof buffer);
    close(fd);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

bool processState(int pid, char& state, int& parent)
{
    std::string text = procText(pid, "stat");
    std::size_t close = text.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(text.substr(close + 1));
    return static_cast<bool>(fields >> state >> parent);
}

int zombieChildren()
{
    int zombies = 0;
    DIR* proc = opendir("/proc");
    while (dirent* entry = proc ? readdir(proc) : nullptr) {
        char state = 0;
        int parent = 0;
        int pid = std::atoi(entry->d_name);
        if (pid > 0 && processState(pid, state, parent) && parent == getpid() && state == 'Z')
            ++zombies;
    }
    if (proc)
        closedir(proc);
    return zombies;
}

// Waits, with a bound, until the process runs the named program and sleeps (in its first read).
bool blockedReading(int pid, const std::string& program)
{
    for (int tries = 0; tries < 1000; ++tries) {
        std::string name = procText(pid, "comm");
        if (!name.empty() && name.back() == '\n')
            name.pop_back();
        char state = 0;
        int parent = 0;
        if (name == program && processState(pid, state, parent) && state == 'S')
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// Waiter threads reap asynchronously: give them a bounded time. The count returned is the one
// that ended the wait, not a second look, which could catch a child that has just died.
int zombiesLeftAfterWaiting()
{
    int zombies = zombieChildren();
    for (int tries = 0; tries < 1000 && zombies > 0; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        zombies = zombieChildren();
    }
    return zombies;
}

// Waits, with a bound, until the process is no longer a child of ours: it ended and was reaped.
bool reapedAfterWaiting(int pid)
{
    for (int tries = 0; tries < 1000; ++tries) {
        char state = 0;
        int parent = 0;
        if (!processState(pid, state, parent) || parent != getpid())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A private folder for test programs, removed at the end.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/runner_test_XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~TempFolder() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    std::string file(const std::string& name, const std::string& content, mode_t mode) const
    {
        std::string path = m_path + "/" + name;
        std::ofstream(path) << content;
        chmod(path.c_str(), mode);
        return path;
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

TEST(ProgramPath, SearchesThePathOnlyForNamesWithoutASlash)
{
    TempFolder folder;
    std::string dir = folder.path();
    folder.file("tool", "#!/bin/sh\n", 0755);
    folder.file("empty", "", 0755);
    folder.file("plain", "#!/bin/sh\n", 0644);
    mkdir((dir + "/sub").c_str(), 0755);
    folder.file("sub/tool", "#!/bin/sh\n", 0755);
    struct Case {
        std::string name, path, found;
    } cases[] = {
        { "tool", dir, dir + "/tool" },
        { "tool", "::" + dir + "/:", dir + "/tool" }, // empty entries skipped, no double slash
        { "tool", "/nonexistent:" + dir + "/sub:" + dir, dir + "/sub/tool" }, // first match wins
        { "empty", dir, "" }, // 0 bytes
        { "plain", dir, "" }, // not executable
        { "sub", dir, "" }, // a folder
        { "tool", "", "" },
        { dir + "/tool", "", dir + "/tool" }, // a slash: used as it is, no PATH needed
        { "./nonexistent", "/usr/bin", "" },
        { "bin/sh", "/", "" }, // exec would not search for it, so neither do we
        { "", "/usr/bin", "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(findProgram(c.name.c_str(), c.path.c_str()), c.found) << c.name << " on " << c.path;
    EXPECT_EQ(findProgram("tool", nullptr), "");
}

TEST(ArgumentList, SplitsAtBlanksAndKeepsQuotedParametersTogether)
{
    struct Case {
        const char* parameters;
        Lines arguments;
    } cases[] = {
        { R"(a "b c" d)", { "a", "b c", "d" } },
        { "read NSGlobalDomain AppleLocale", { "read", "NSGlobalDomain", "AppleLocale" } },
        { "  a\t\tb\nc  ", { "a", "b", "c" } },
        { R"("unterminated quote)", { "unterminated quote" } },
        { R"("" x)", { "", "x" } },
        { R"("a b"c)", { "a b", "c" } },
        { R"(x"y z")", { "x\"y", "z\"" } }, // a quote inside a parameter is an ordinary byte
        { "\"one\ntwo\"", { "one", "two\"" } }, // a line feed ends a quoted parameter
        { "a\r b", { "a\r", "b" } },
        { "", {} },
        { nullptr, {} },
    };
    for (const Case& c : cases) {
        ArgumentList list;
        ASSERT_TRUE(list.build("my tool", c.parameters));
        Lines got;
        for (int i = 1; i < list.count(); ++i)
            got.emplace_back(list.argument(i));
        EXPECT_EQ(got, c.arguments) << (c.parameters ? c.parameters : "(none)");
        EXPECT_STREQ(list.argument(0), "my tool");
        EXPECT_EQ(list.argv()[list.count()], nullptr);
    }
}

std::string words(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "w" + std::to_string(i) + " ";
    return text;
}

TEST(ArgumentList, RefusesMoreThan520ParametersInsteadOfOverflowing)
{
    ArgumentList list;
    EXPECT_TRUE(list.build("x", words(520).c_str()));
    EXPECT_EQ(list.count(), 521);
    EXPECT_STREQ(list.argument(520), "w519");
    EXPECT_FALSE(list.build("x", words(521).c_str()));
    EXPECT_FALSE(list.build("x", words(600).c_str()));

    EXPECT_EQ(startProgram("true", words(600).c_str(), nullptr, RUN_OPEN | RUN_WAIT, 0), 0);
    Handle full = startProgram("true", words(520).c_str(), nullptr, RUN_OPEN | RUN_WAIT, 0);
    ASSERT_NE(full, 0);
    EXPECT_EQ(programExitCode(full), 0);
    releaseProgram(full);
}

TEST(ProgramRunner, ChildGetsTheSplitParametersItsNameUnchangedAndTheFolder)
{
    EXPECT_EQ(outputOf("printf", R"(%s\n a "b c" d)"), (Lines { "a", "b c", "d" }));
    EXPECT_EQ(outputOf("sh", R"(-c "echo $0")"), Lines { "sh" });
    EXPECT_EQ(outputOf("/bin/sh", R"(-c "echo $0")"), Lines { "/bin/sh" });
    TempFolder folder;
    EXPECT_EQ(outputOf("pwd", "", folder.path().c_str()), Lines { folder.path() });
}

TEST(ProgramRunner, ProgramsThatCannotBeFoundAreNotStarted)
{
    for (int flags : { RUN_OPEN | RUN_READ, RUN_OPEN | RUN_WAIT, RUN_WAIT, 0 }) {
        EXPECT_EQ(startProgram("graphonite-test-no-such-program", "", nullptr, flags, 0), 0) << flags;
        EXPECT_EQ(startProgram("./nonexistent", "", nullptr, flags, 0), 0) << flags;
        EXPECT_EQ(startProgram("", "", nullptr, flags, 0), 0) << flags;
        EXPECT_EQ(startProgram(nullptr, "", nullptr, flags, 0), 0) << flags;
        EXPECT_EQ(startProgram("true", "", nullptr, flags | RUN_CONNECT, 987654), 0) << flags;
    }
    Handle source = startProgram("true", "", nullptr, RUN_OPEN | RUN_READ, 0);
    EXPECT_EQ(startProgram("cat", "", nullptr, RUN_OPEN | RUN_WRITE | RUN_CONNECT, source), 0);
    releaseProgram(source);
}

TEST(ProgramRunner, ReadsEveryLineExactlyAsWritten)
{
    struct Case {
        const char* format;
        Lines lines;
    } cases[] = {
        { R"(a\nb)", { "a", "b" } }, // the last line has no line feed
        { R"(only\n)", { "only" } }, // once, and no empty line made up after it
        { R"(a\r\nb\r\n)", { "a\r", "b\r" } },
        { R"(\n\nx)", { "", "", "x" } },
        { R"("")", {} },
    };
    // Repeated, because whether the child has closed its output yet when we look varies.
    for (int round = 0; round < 10; ++round) {
        for (const Case& c : cases)
            EXPECT_EQ(outputOf("printf", c.format), c.lines) << c.format;
    }
}

TEST(ProgramRunner, ReadsOutputFarLongerThanTheRing)
{
    Lines many = outputOf("sh", R"(-c "yes 0123456789abcdef | head -n 5000")");
    EXPECT_EQ(many, Lines(5000, "0123456789abcdef"));
    Lines oneLongLine = outputOf("sh", R"(-c "head -c 30000 /dev/zero | tr '\000' x")");
    EXPECT_EQ(oneLongLine, Lines { std::string(30000, 'x') });
}

TEST(ProgramRunner, ExitCodes)
{
    TempFolder folder;
    std::string badInterpreter = folder.file("bad", "#!/nonexistent/interpreter\n", 0755);
    struct Case {
        const char* name;
        const char* parameters;
        const char* folder;
        int exitCode;
    } cases[] = {
        { "sh", R"(-c "exit 0")", nullptr, 0 }, { "sh", R"(-c "exit 3")", nullptr, 3 },
        { "sh", R"(-c "kill -KILL $$")", nullptr, 1 }, { "sh", R"(-c "kill -TERM $$")", nullptr, 1 },
        { badInterpreter.c_str(), "", nullptr, 1 }, // found, but exec fails
        { "true", "", "/nonexistent/folder", 1 }, // never runs in the wrong folder
    };
    for (const Case& c : cases) {
        for (int flags : { RUN_OPEN, RUN_OPEN | RUN_WAIT }) {
            Handle program = startProgram(c.name, c.parameters, c.folder, flags, 0);
            ASSERT_NE(program, 0) << c.name << ' ' << c.parameters;
            EXPECT_EQ(waitForProgram(program, -1), 1);
            EXPECT_EQ(programExitCode(program), c.exitCode) << c.name << ' ' << c.parameters << ' ' << flags;
            releaseProgram(program);
        }
    }
}

TEST(ProgramRunner, TalksToARunningProgramThroughItsInput)
{
    Handle cat = startProgram("cat", "", nullptr, RUN_OPEN | RUN_READ | RUN_WRITE, 0);
    ASSERT_NE(cat, 0);
    EXPECT_EQ(programExitCode(cat), -1);
    EXPECT_EQ(waitForProgram(cat, 0), 0);
    EXPECT_EQ(waitForProgram(cat, 20), 0);
    EXPECT_EQ(writeProgramInput(cat, "hello\nwor", 9), 9);
    EXPECT_EQ(writeProgramInput(cat, "ld\n", 3), 3);
    closeProgramInput(cat);
    EXPECT_EQ(writeProgramInput(cat, "late", 4), -1);
    EXPECT_EQ(readAllLines(cat), (Lines { "hello", "world" }));
    EXPECT_EQ(waitForProgram(cat, 0), 1);
    EXPECT_EQ(programExitCode(cat), 0);
    releaseProgram(cat);
}

TEST(ProgramRunner, WritingToAnEndedProgramFailsInsteadOfRaisingSigpipe)
{
    // Whoever started the tests may have had SIGPIPE ignored; the default would end the process.
    struct DefaultSigpipe {
        void (*previous)(int) = std::signal(SIGPIPE, SIG_DFL);
        ~DefaultSigpipe() { std::signal(SIGPIPE, previous); }
    } defaultSigpipe;
    Handle program = startProgram("true", "", nullptr, RUN_OPEN | RUN_WRITE, 0);
    ASSERT_NE(program, 0);
    ASSERT_EQ(waitForProgram(program, -1), 1);
    std::string big(1 << 20, 'x');
    EXPECT_EQ(writeProgramInput(program, big.data(), static_cast<int>(big.size())), -1);
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
    releaseProgram(program);
}

TEST(ProgramRunner, ErrorOutputHasItsOwnReaderAndCharactersDecodeFromUtf8)
{
    const char* script = R"(-c "echo out; printf 'A\303\244\342\202\254\360\237\230\200\377' 1>&2")";
    Handle program = startProgram("sh", script, nullptr, RUN_OPEN | RUN_READ | RUN_ERROR, 0);
    ASSERT_NE(program, 0);
    EXPECT_EQ(readAllLines(program), Lines { "out" });
    PipeReader* error = programErrorReader(program);
    ASSERT_NE(error, nullptr);
    EXPECT_GT(pipeBytesAvailable(error), 0);
    // A, a-umlaut, the euro sign, an emoji (4 bytes, a space), a byte that starts nothing, the end.
    for (int expected : { 0x41, 0xE4, 0x20AC, 0x20, -1, -1 })
        EXPECT_EQ(readPipeCharacter(error), expected);
    releaseProgram(program);
}

TEST(ProgramRunner, CharactersSplitByTheRingsWrapArriveWhole)
{
    // Each character is written so that its first `before` bytes are the last of the ring and the
    // rest wraps to its start: the ring is filled to the brim, a little is read, and the rest of
    // the output arrives through a fill while the ring still holds the character's start.
    struct Case {
        std::string character;
        int before;
        int expected;
    };
    const Case cases[] = {
        { "\xC3\xA4", 1, 0xE4 },
        { "\xE2\x82\xAC", 1, 0x20AC },
        { "\xE2\x82\xAC", 2, 0x20AC },
    };
    constexpr int RING = PipeReader::RING_SIZE;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        PipeEnds ends;
        ASSERT_TRUE(openPipe(ends));
        std::unique_ptr<PipeReader> reader = PipeReader::create(std::move(ends.readEnd));
        ASSERT_NE(reader, nullptr);
        std::string first = std::string(static_cast<std::size_t>(RING - c.before), 'a')
            + c.character.substr(0, static_cast<std::size_t>(c.before));
        std::string rest = c.character.substr(static_cast<std::size_t>(c.before)) + "b";
        ASSERT_EQ(write(ends.writeEnd.get(), first.data(), first.size()), RING);
        EXPECT_EQ(reader->fill(), RING);
        std::vector<char> skipped(16);
        ASSERT_EQ(readPipeBytes(reader.get(), skipped.data(), 16), 16);
        ASSERT_EQ(write(ends.writeEnd.get(), rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
        EXPECT_EQ(reader->fill(), static_cast<int>(rest.size())); // lands at the ring's start
        skipped.resize(static_cast<std::size_t>(RING - c.before - 16));
        ASSERT_EQ(readPipeBytes(reader.get(), skipped.data(), static_cast<int>(skipped.size())),
            static_cast<int>(skipped.size()));
        EXPECT_EQ(readPipeCharacter(reader.get()), c.expected);
        EXPECT_EQ(readPipeCharacter(reader.get()), 'b');
    }
}

TEST(ProgramRunner, ConnectsOneProgramsOutputToAnothersBlockingInput)
{
    Handle first = startProgram("cat", "", nullptr, RUN_OPEN | RUN_READ | RUN_WRITE, 0);
    ASSERT_NE(first, 0);
    // The second cat reads an empty pipe first; in non-blocking mode that read would fail.
    Handle second = startProgram("cat", "", nullptr, RUN_OPEN | RUN_READ | RUN_CONNECT, first);
    ASSERT_NE(second, 0);
    EXPECT_EQ(programOutputReader(first)->descriptor(), -1); // handed over
    ASSERT_TRUE(blockedReading(programProcessId(second), "cat"));
    EXPECT_EQ(writeProgramInput(first, "ping\n", 5), 5);
    closeProgramInput(first);
    EXPECT_EQ(readAllLines(second), Lines { "ping" });
    EXPECT_EQ(programAlive(first), 0);
    EXPECT_EQ(programExitCode(first), 0);
    EXPECT_EQ(programExitCode(second), 0);
    releaseProgram(first);
    releaseProgram(second);
}

TEST(ProgramRunner, ChildrenInheritNoneOfOurPipes)
{
    Handle held = startProgram("cat", "", nullptr, RUN_OPEN | RUN_READ | RUN_WRITE | RUN_ERROR, 0);
    ASSERT_NE(held, 0);
    // The shell's own descriptors, listed by a process of its own.
    Lines descriptors = outputOf("sh", R"(-c "ls /proc/$$/fd; true")");
    EXPECT_FALSE(descriptors.empty());
    for (PipeReader* reader : { programOutputReader(held), programErrorReader(held) }) {
        std::string ours = std::to_string(reader->descriptor());
        EXPECT_EQ(std::count(descriptors.begin(), descriptors.end(), ours), 0) << ours;
    }
    releaseProgram(held); // cat reads the end of its input and ends
}

TEST(ProgramRunner, ReleaseReturnsAtOnceAndStaleHandlesDoNothing)
{
    Handle sleeper = startProgram("sleep", "30", nullptr, RUN_OPEN | RUN_READ, 0);
    ASSERT_NE(sleeper, 0);
    int pid = programProcessId(sleeper);
    releaseProgram(sleeper);
    char state = 0;
    int parent = 0;
    ASSERT_TRUE(processState(pid, state, parent));
    EXPECT_NE(state, 'Z');
    EXPECT_EQ(parent, getpid());

    Handle next = startProgram("true", "", nullptr, RUN_OPEN, 0);
    EXPECT_NE(next, sleeper); // handles are never reused
    releaseProgram(next);
    for (Handle stale : { sleeper, next, Handle { 0 }, Handle { -1 }, Handle { 12345678 }, INTPTR_MAX }) {
        EXPECT_EQ(programAlive(stale), 0);
        EXPECT_EQ(waitForProgram(stale, -1), 0);
        EXPECT_EQ(programExitCode(stale), -1);
        EXPECT_EQ(programProcessId(stale), 0);
        EXPECT_EQ(writeProgramInput(stale, "x", 1), -1);
        EXPECT_EQ(programOutputReader(stale), nullptr);
        WorkAreaMark mark;
        readProgramLine(stale);
        EXPECT_EQ(workAreaPosition(), mark.mark());
        closeProgramInput(stale);
        releaseProgram(stale);
    }
    // The waiter of the released program still reaps it. (A killed process takes a moment to
    // die, so wait for this one rather than for the zombies of the moment.)
    kill(pid, SIGKILL);
    EXPECT_TRUE(reapedAfterWaiting(pid));
    EXPECT_EQ(zombiesLeftAfterWaiting(), 0);
}

// Stand-ins for system calls. They run in forked children too, so they keep to plain atomics.
std::atomic<int> g_calls { 0 };
pid_t g_testProcess = 0;

int failingPipe(int*, int)
{
    errno = EMFILE;
    return -1;
}
pid_t failingFork()
{
    errno = EAGAIN;
    return -1;
}
pid_t forkFailingInChildren()
{
    return getpid() == g_testProcess ? ::fork() : failingFork();
}
int failingFcntl(int, int, int)
{
    errno = EBADF;
    return -1;
}
int failingThread(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)
{
    return EAGAIN;
}
int failingExec(const char*, char* const*)
{
    errno = ENOEXEC;
    return -1;
}
bool interruptNow()
{
    if (g_calls.fetch_add(1) % 2 == 0) {
        errno = EINTR;
        return true;
    }
    return false;
}
ssize_t interruptedRead(int fd, void* buffer, std::size_t size)
{
    return interruptNow() ? -1 : ::read(fd, buffer, size);
}
pid_t interruptedWait(pid_t pid, int* status, int options)
{
    return interruptNow() ? -1 : ::waitpid(pid, status, options);
}
int interruptedPoll(pollfd* fds, nfds_t count, int timeout)
{
    return interruptNow() ? -1 : ::poll(fds, count, timeout);
}
int interruptedDup2(int fd, int target)
{
    return interruptNow() ? -1 : ::dup2(fd, target);
}

constexpr int EVERY_WAY[] = { RUN_OPEN | RUN_READ | RUN_WRITE | RUN_ERROR, RUN_OPEN | RUN_WAIT, RUN_WAIT, 0 };

class SystemCallFaults : public ::testing::Test {
protected:
    SystemCallFaults()
        : m_descriptors(openDescriptorCount())
    {
        g_testProcess = getpid();
    }
    ~SystemCallFaults() override
    {
        EXPECT_EQ(zombiesLeftAfterWaiting(), 0);
        EXPECT_EQ(openDescriptorCount(), m_descriptors);
    }

private:
    int m_descriptors;
};

TEST_F(SystemCallFaults, FailedPipeForkOrThreadStartsNothing)
{
    auto& calls = systemCalls();
    {
        SystemCallOverride pipe(calls.pipe2, failingPipe);
        for (int flags : EVERY_WAY) {
            if (flags & (RUN_READ | RUN_WRITE | RUN_ERROR) || !(flags & (RUN_OPEN | RUN_WAIT))) {
                EXPECT_EQ(startProgram("true", "", nullptr, flags, 0), 0) << flags;
            }
        }
    }
    {
        SystemCallOverride fork(calls.fork, failingFork);
        for (int flags : EVERY_WAY)
            EXPECT_EQ(startProgram("true", "", nullptr, flags, 0), 0) << flags;
    }
    {
        // The double fork's second fork fails: the id never arrives.
        SystemCallOverride fork(calls.fork, forkFailingInChildren);
        EXPECT_EQ(startProgram("true", "", nullptr, 0, 0), 0);
    }
    {
        SystemCallOverride fcntl(calls.fcntl, failingFcntl);
        EXPECT_EQ(startProgram("true", "", nullptr, RUN_OPEN | RUN_READ, 0), 0);
    }
    {
        // Without a waiter the child is stopped and reaped rather than left behind.
        SystemCallOverride thread(calls.pthreadCreate, failingThread);
        EXPECT_EQ(startProgram("sleep", "30", nullptr, RUN_OPEN | RUN_READ, 0), 0);
    }
    {
        SystemCallOverride exec(calls.execvp, failingExec);
        Handle program = startProgram("true", "", nullptr, RUN_OPEN | RUN_WAIT, 0);
        EXPECT_EQ(programExitCode(program), 1);
        releaseProgram(program);
    }
}

TEST_F(SystemCallFaults, InterruptedCallsAreRepeated)
{
    auto& calls = systemCalls();
    SystemCallOverride read(calls.read, interruptedRead);
    SystemCallOverride wait(calls.waitpid, interruptedWait);
    SystemCallOverride poll(calls.poll, interruptedPoll);
    SystemCallOverride dup2(calls.dup2, interruptedDup2);
    for (int round = 0; round < 5; ++round) {
        EXPECT_EQ(outputOf("sh", R"(-c "echo a; sleep 0.01; echo b")"), (Lines { "a", "b" }));
        for (int flags : EVERY_WAY) {
            Handle program = startProgram("true", "", nullptr, flags, 0);
            EXPECT_NE(program, 0) << flags;
            if (flags & RUN_OPEN)
                releaseProgram(program);
        }
        Handle waited = startProgram("sh", R"(-c "exit 5")", nullptr, RUN_OPEN | RUN_WAIT, 0);
        EXPECT_EQ(programExitCode(waited), 5);
        releaseProgram(waited);
    }
    EXPECT_GT(g_calls.load(), 0);
}

TEST_F(SystemCallFaults, HundredsOfProgramsLeaveNoDescriptorsOrChildrenBehind)
{
    std::vector<Handle> open;
    for (int i = 0; i < 300; ++i) {
        int flags = EVERY_WAY[i % 4];
        Handle program = startProgram("true", "", nullptr, flags, 0);
        ASSERT_NE(program, 0) << i;
        if (!(flags & RUN_OPEN))
            continue;
        if (i % 3 == 0)
            readAllLines(program);
        if (i % 5 == 0)
            open.push_back(program); // released later, after the program has ended
        else
            releaseProgram(program); // often while the program still runs
    }
    for (Handle program : open) {
        EXPECT_EQ(waitForProgram(program, -1), 1);
        releaseProgram(program);
    }
}

} // namespace
