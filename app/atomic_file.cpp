#include "atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string reason(int error)
{
    return std::strerror(error);
}

// Writes everything, retrying interrupted and short writes; the errno of a failure, else 0.
int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
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
    struct stat existing;
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return reason(EISDIR);
    // A device or pipe must never be replaced by a file.
    if (exists && !S_ISREG(existing.st_mode))
        return reason(EINVAL);
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return reason(errno);
    // mkstemp makes the file readable by its owner only: the new file keeps the old one's
    // permissions, or gets those of an ordinary new document.
    if (exists) {
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return reason(error);
    }
    return {};
}

std::string readWholeFile(const std::string& path, std::string& bytes, std::size_t limit)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return reason(errno);
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return reason(error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return reason(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    if (static_cast<std::size_t>(info.st_size) > limit) {
        ::close(fd);
        return reason(EFBIG);
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            bytes.clear();
            return reason(error);
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > limit) {
            ::close(fd);
            bytes.clear();
            return reason(EFBIG);
        }
    }
    ::close(fd);
    return {};
}
