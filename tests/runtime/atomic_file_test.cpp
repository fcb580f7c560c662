#include "runtime/atomic_file.h"
#include "runtime/file_names.h"
#include "runtime/system_calls.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/graphonite-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_folder = folder;
    }
    void TearDown() override { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    static std::string contentOf(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string m_folder;
};

TEST_F(AtomicFile, ReplacesTheOldFileWholeAndKeepsItOnFailure)
{
    const std::string path = m_folder + "/table.csv";
    EXPECT_EQ(writeFileAtomically(path, "old\n"), "");
    ::chmod(path.c_str(), 0640);
    EXPECT_EQ(writeFileAtomically(path, "new\n"), "");
    EXPECT_EQ(contentOf(path), "new\n");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "permissions kept";

    // A folder chosen as the file, a folder that does not exist.
    EXPECT_NE(writeFileAtomically(m_folder, "x"), "");
    EXPECT_NE(writeFileAtomically(m_folder + "/missing/table.csv", "x"), "");

    // No permission to write in the folder (root may write anyway: then nothing to prove).
    if (::geteuid() != 0) {
        ::chmod(m_folder.c_str(), 0500);
        EXPECT_NE(writeFileAtomically(path, "lost\n"), "");
        ::chmod(m_folder.c_str(), 0700);
        EXPECT_EQ(contentOf(path), "new\n");
    }

    // A device is never replaced by a file.
    struct stat device;
    if (::stat("/dev/null", &device) == 0) {
        EXPECT_NE(writeFileAtomically("/dev/null", "x"), "");
        ASSERT_EQ(::stat("/dev/null", &device), 0);
        EXPECT_TRUE(S_ISCHR(device.st_mode));
    }
    // Through a link the named file changes and the link stays.
    const std::string link = m_folder + "/link.csv";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    EXPECT_EQ(writeFileAtomically(link, "linked\n"), "");
    EXPECT_EQ(contentOf(path), "linked\n");
    struct stat linkInfo;
    ASSERT_EQ(::lstat(link.c_str(), &linkInfo), 0);
    EXPECT_TRUE(S_ISLNK(linkInfo.st_mode));
    EXPECT_EQ(writeFileAtomically(path, "new\n"), "");
    std::string bytes;
    EXPECT_EQ(readWholeFile(path, bytes, 100), "");
    EXPECT_EQ(bytes, "new\n");
    EXPECT_NE(readWholeFile(path, bytes, 2), "") << "too large";
    EXPECT_NE(readWholeFile(m_folder, bytes, 100), "") << "a folder";
    EXPECT_NE(readWholeFile(m_folder + "/none", bytes, 100), "");
}

// The names in a folder that saving may have left behind.
std::vector<std::string> leftovers(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            if (std::string(entry->d_name).starts_with(".graphonite-"))
                names.push_back(entry->d_name);
        }
        ::closedir(dir);
    }
    return names;
}

TEST_F(AtomicFile, EveryNameTheFileSystemTakesCanBeSaved)
{
    for (std::size_t length : { 5u, 200u, 249u, 250u, 255u }) {
        const std::string path = m_folder + "/" + std::string(length - 4, 'n') + ".csv";
        EXPECT_EQ(writeFileAtomically(path, "1\n"), "") << length;
        EXPECT_EQ(contentOf(path), "1\n") << length;
        EXPECT_EQ(writeFileAtomically(path, "2\n"), "") << length << " replaced";
        EXPECT_EQ(contentOf(path), "2\n") << length;
    }
    // A file in the working folder, named without a folder.
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(::chdir(m_folder.c_str()), 0);
    EXPECT_EQ(writeFileAtomically("plain.csv", "p\n"), "");
    ASSERT_EQ(::chdir(here), 0);
    EXPECT_EQ(contentOf(m_folder + "/plain.csv"), "p\n");
    EXPECT_TRUE(leftovers(m_folder).empty());
}

TEST_F(AtomicFile, WriteProtectedFileIsRefusedEvenForTheAdministrator)
{
    const std::string path = m_folder + "/kept.csv";
    ASSERT_EQ(writeFileAtomically(path, "old\n"), "");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(writeFileAtomically(path, "new\n"), "Permission denied");
    EXPECT_EQ(contentOf(path), "old\n");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
    // Writable by the owner only: the owner (whoever runs the test) may replace it.
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    EXPECT_EQ(writeFileAtomically(path, "new\n"), "");
    EXPECT_EQ(contentOf(path), "new\n");
    EXPECT_TRUE(leftovers(m_folder).empty());
}

// What the system-call replacements below saw, in order.
std::vector<std::string> g_calls;
int g_fileDescriptor = -1;
std::size_t g_writeLimit = 0;
std::size_t g_bytesBeforeFull = 0;

int recordingOpenat(int folder, const char* name, int flags, mode_t mode)
{
    const int fd = ::openat(folder, name, flags, mode);
    if ((flags & O_CREAT) != 0)
        g_fileDescriptor = fd;
    return fd;
}

int recordingFsync(int fd)
{
    g_calls.push_back(fd == g_fileDescriptor ? "fsync file" : "fsync folder");
    return ::fsync(fd);
}

int failingFsync(int fd)
{
    if (fd != g_fileDescriptor)
        return ::fsync(fd);
    errno = EIO;
    return -1;
}

int recordingRenameat(int fromFolder, const char* from, int toFolder, const char* to)
{
    g_calls.push_back("rename");
    return ::renameat(fromFolder, from, toFolder, to);
}

// Takes at most a few bytes at a time, as a pipe or a signal may make write() do.
ssize_t shortWrite(int fd, const void* buffer, std::size_t size)
{
    return ::write(fd, buffer, std::min(size, g_writeLimit));
}

// The disk fills up after a number of bytes.
ssize_t fillingWrite(int fd, const void* buffer, std::size_t size)
{
    if (g_bytesBeforeFull == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = ::write(fd, buffer, std::min(size, g_bytesBeforeFull));
    if (written > 0)
        g_bytesBeforeFull -= static_cast<std::size_t>(written);
    return written;
}

int interruptedOnceFsync(int fd)
{
    static bool interrupted = false;
    interrupted = !interrupted;
    if (interrupted) {
        errno = EINTR;
        return -1;
    }
    return ::fsync(fd);
}

TEST_F(AtomicFile, FlushesTheFileBeforeTheRenameAndTheFolderAfterIt)
{
    auto& calls = systemCalls();
    SystemCallOverride open(calls.openat, recordingOpenat);
    SystemCallOverride sync(calls.fsync, recordingFsync);
    SystemCallOverride rename(calls.renameat, recordingRenameat);
    g_calls.clear();
    EXPECT_EQ(writeFileAtomically(m_folder + "/ordered.csv", "x\n"), "");
    EXPECT_EQ(g_calls, (std::vector<std::string> { "fsync file", "rename", "fsync folder" }));
}

TEST_F(AtomicFile, FailuresLeaveTheOldFileAndNoTemporary)
{
    const std::string path = m_folder + "/table.csv";
    const std::string old = "old content\n";
    const std::string bytes(200000, 'n');
    auto& calls = systemCalls();
    {
        ASSERT_EQ(writeFileAtomically(path, old), "");
        SystemCallOverride open(calls.openat, recordingOpenat);
        SystemCallOverride sync(calls.fsync, failingFsync);
        EXPECT_EQ(writeFileAtomically(path, bytes), "Input/output error");
        EXPECT_EQ(contentOf(path), old);
        EXPECT_TRUE(leftovers(m_folder).empty());
    }
    for (std::size_t room : { 0u, 1u, 4096u, 199999u }) {
        SystemCallOverride write(calls.write, fillingWrite);
        g_bytesBeforeFull = room;
        EXPECT_EQ(writeFileAtomically(path, bytes), "No space left on device") << room;
        EXPECT_EQ(contentOf(path), old) << room;
        EXPECT_TRUE(leftovers(m_folder).empty()) << room;
    }
    {
        // Nothing was lost on the way: the new file is complete.
        SystemCallOverride write(calls.write, shortWrite);
        for (std::size_t limit : { 1u, 3u, 4095u }) {
            g_writeLimit = limit;
            const std::string content = bytes.substr(0, 20000) + std::to_string(limit);
            EXPECT_EQ(writeFileAtomically(path, content), "") << limit;
            EXPECT_EQ(contentOf(path), content) << limit;
        }
    }
    {
        SystemCallOverride sync(calls.fsync, interruptedOnceFsync);
        EXPECT_EQ(writeFileAtomically(path, old), "");
        EXPECT_EQ(contentOf(path), old);
    }
    EXPECT_TRUE(leftovers(m_folder).empty());
}

TEST_F(AtomicFile, PipesAreRefusedWithoutWaitingForAWriter)
{
    const std::string pipe = m_folder + "/pipe.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&pipe] {
        std::string bytes;
        return readWholeFile(pipe, bytes, 100);
    });
    if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Opening the other end releases the blocked reader, so that the test can end.
        const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        ADD_FAILURE() << "reading the pipe blocked";
        reading.wait();
        ::close(writer);
        return;
    }
    EXPECT_EQ(reading.get(), "Invalid argument");
    // Saving over a pipe is refused too, and the pipe stays.
    EXPECT_EQ(writeFileAtomically(pipe, "x"), "Invalid argument");
    struct stat info;
    ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(FileNames, PartsOfAPath)
{
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
    };
    const Case cases[] = {
        { "/home/u/chart.png", "chart.png", "/home/u/" },
        { "chart.png", "chart.png", "" },
        { "/chart.png", "chart.png", "/" },
        { "a/b/", "", "a/b/" },
        { "", "", "" },
        { "dir.d/x", "x", "dir.d/" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fileNamePart(c.path), c.name) << c.path;
        EXPECT_EQ(folderPart(c.path), c.folder) << c.path;
    }
    // The name ends where the path ends, so it can be passed on as a C string.
    const char* path = "/x/y.csv";
    EXPECT_EQ(fileNamePart(path).data(), path + 3);
}

} // namespace
