#include "regular_file.h"

#include "system_calls.h"

#include <cerrno>
#include <fcntl.h>
#include <utility>

int openRegularFile(const char* path, UniqueFd& file, struct stat& info)
{
    // O_NONBLOCK lets the open of a pipe return at once; for a regular file it changes nothing.
    UniqueFd opened(openFileAt(AT_FDCWD, path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!opened.isOpen())
        return errno;
    if (describeDescriptor(opened.get(), &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    file = std::move(opened);
    return 0;
}
