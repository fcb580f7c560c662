#include "user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr const char PROGRAM_NAME[] = "/graphonite";

bool isAbsolute(const char* path)
{
    return path && path[0] == '/';
}

} // namespace

std::string programFolder(const char* xdgValue, const char* home, const char* homeRelative)
{
    if (isAbsolute(xdgValue))
        return std::string(xdgValue) + PROGRAM_NAME;
    if (isAbsolute(home))
        return std::string(home) + "/" + homeRelative + PROGRAM_NAME;
    return {};
}

std::string stateFolder()
{
    return programFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"), ".local/state");
}

std::string configFolder()
{
    return programFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), ".config");
}

std::string makeFolders(const std::string& path)
{
    if (path.empty())
        return std::strerror(ENOENT);
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return std::strerror(errno);
        if (end == std::string::npos)
            break;
    }
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0)
        return std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return std::strerror(ENOTDIR);
    return {};
}
