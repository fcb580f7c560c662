#include "atomic_file.h"

#include "file_names.h"
#include "regular_file.h"
#include "system_calls.h"
#include "unique_fd.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char TEMPORARY_PREFIX[] = ".graphonite-";
constexpr int TEMPORARY_ATTEMPTS = 100;

std::string reason(int error)
{
    return std::strerror(error);
}

// Writes everything, continuing after short writes; the errno of a failure, else 0.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = writeDescriptor(fd, bytes.data(), bytes.size());
        if (written < 0)
            return errno;
        // A write that takes nothing would repeat for ever.
        if (written == 0)
            return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

bool isInGroup(gid_t group)
{
    if (::getegid() == group)
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// Whether the mode bits let this user write the file. The administrator passes every permission
// check of the system, but a file that nobody may write has been protected on purpose.
bool modeAllowsWriting(const struct stat& info)
{
    const uid_t user = ::geteuid();
    if (user == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    if (info.st_uid == user)
        return (info.st_mode & S_IWUSR) != 0;
    if (isInGroup(info.st_gid))
        return (info.st_mode & S_IWGRP) != 0;
    return (info.st_mode & S_IWOTH) != 0;
}

// Six characters for a temporary name, different for every call and every process.
std::string temporaryName()
{
    // The autosave writes from a thread of its own while the program may save a file.
    static std::atomic<unsigned> counter = 0;
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    unsigned long value = static_cast<unsigned long>(now.tv_nsec)
        ^ (static_cast<unsigned long>(::getpid()) << 12)
        ^ (static_cast<unsigned long>(++counter) * 2654435761ul);
    constexpr const char LETTERS[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = TEMPORARY_PREFIX;
    for (int i = 0; i < 6; ++i) {
        name += LETTERS[value % 36];
        value /= 36;
    }
    return name;
}

// Creates the temporary file in folder; the error number or 0.
int createTemporary(int folder, mode_t mode, UniqueFd& file, std::string& name)
{
    for (int attempt = 0; attempt < TEMPORARY_ATTEMPTS; ++attempt) {
        name = temporaryName();
        file.reset(openFileAt(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (file.isOpen())
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Writes, flushes and closes the temporary file; the error number or 0.
int fillTemporary(UniqueFd& file, std::string_view bytes)
{
    int error = writeAll(file.get(), bytes);
    if (error == 0 && syncDescriptor(file.get()) != 0)
        error = errno;
    if (closeDescriptor(file.release()) != 0 && error == 0)
        error = errno;
    return error;
}

} // namespace

std::string writeFileAtomically(const std::string& chosenPath, std::string_view bytes)
{
    // A link is followed: the file it names gets the new content, the link stays a link.
    std::string path = chosenPath;
    if (char* resolved = ::realpath(chosenPath.c_str(), nullptr)) {
        path = resolved;
        std::free(resolved);
    }
    const std::string name(fileNamePart(path));
    if (name.empty())
        return reason(EISDIR);
    std::string folderPath = folderPart(path);
    if (folderPath.empty())
        folderPath = ".";
    UniqueFd folder(openFileAt(AT_FDCWD, folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isOpen())
        return reason(errno);

    struct stat existing { };
    bool exists = false;
    {
        UniqueFd old(openFileAt(folder.get(), name.c_str(), O_PATH | O_CLOEXEC));
        if (old.isOpen()) {
            if (describeDescriptor(old.get(), &existing) != 0)
                return reason(errno);
            exists = true;
        } else if (errno != ENOENT) {
            return reason(errno);
        }
    }
    if (exists && S_ISDIR(existing.st_mode))
        return reason(EISDIR);
    // A device or pipe must never be replaced by a file.
    if (exists && !S_ISREG(existing.st_mode))
        return reason(EINVAL);
    if (exists && !modeAllowsWriting(existing))
        return reason(EACCES);

    // A new file gets the permissions of an ordinary new document (the umask applies); a
    // replacement keeps the old file's.
    UniqueFd file;
    std::string temporary;
    if (const int error = createTemporary(folder.get(), exists ? 0600 : 0666, file, temporary))
        return reason(error);
    // A file system without permissions (such as FAT) refuses the change; the content matters
    // more than the mode, so the saving goes on.
    if (exists)
        (void)changeDescriptorMode(file.get(), existing.st_mode & 07777);
    int error = fillTemporary(file, bytes);
    if (error == 0 && renameFileAt(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0)
        error = errno;
    if (error != 0) {
        removeFileAt(folder.get(), temporary.c_str());
        return reason(error);
    }
    // The rename is durable only once the folder is on the disk. The new content is in place
    // either way, and some file systems cannot flush a folder, so a failure here is not reported.
    (void)syncDescriptor(folder.get());
    return {};
}

std::string readWholeFile(const std::string& path, std::string& bytes, std::size_t limit)
{
    bytes.clear();
    UniqueFd file;
    struct stat info { };
    if (const int error = openRegularFile(path.c_str(), file, info))
        return reason(error);
    if (static_cast<std::size_t>(info.st_size) > limit)
        return reason(EFBIG);
    char buffer[65536];
    for (;;) {
        const ssize_t got = readDescriptor(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            const int error = errno;
            bytes.clear();
            return reason(error);
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > limit) {
            bytes.clear();
            return reason(EFBIG);
        }
    }
    return {};
}
