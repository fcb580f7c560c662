#include "program_path.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool isExecutableFile(const char* path)
{
    struct stat info { };
    if (!path || !*path || ::stat(path, &info) != 0)
        return false;
    return !S_ISDIR(info.st_mode) && info.st_size > 0 && ::access(path, X_OK) == 0;
}

std::string findProgram(const char* name, const char* pathVariable)
{
    if (!name || !*name)
        return {};
    if (std::strchr(name, '/'))
        return isExecutableFile(name) ? std::string(name) : std::string();
    if (!pathVariable)
        return {};
    const char* entry = pathVariable;
    while (*entry) {
        const char* colon = std::strchr(entry, ':');
        std::size_t length = colon ? static_cast<std::size_t>(colon - entry) : std::strlen(entry);
        if (length > 0) {
            std::string candidate(entry, length);
            if (candidate.back() != '/')
                candidate += '/';
            candidate += name;
            if (isExecutableFile(candidate.c_str()))
                return candidate;
        }
        if (!colon)
            break;
        entry = colon + 1;
    }
    return {};
}
