#pragma once

#include "unique_fd.h"

#include <sys/stat.h>

// Opening a file that the user named for reading. Only regular files are opened: a named pipe
// without a writer would block the open (and every read) for good, and a device may never end.

// 0 with file open and info filled in, else the error number (EISDIR for a folder, EINVAL for
// anything else that is not a regular file).
[[nodiscard]] int openRegularFile(const char* path, UniqueFd& file, struct stat& info);
