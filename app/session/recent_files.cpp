#include "recent_files.h"

#include "user_folders.h"

#include "runtime/atomic_file.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace {

// A hand-edited or foreign file of absurd size is not read whole into memory.
constexpr std::size_t MAX_LIST_FILE_SIZE = 1u << 20;

bool isStorable(std::string_view path)
{
    return !path.empty() && path[0] == '/' && path.find('\n') == std::string_view::npos
        && path.find('\r') == std::string_view::npos;
}

bool isRegularFile(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string listPath()
{
    const std::string folder = configFolder();
    return folder.empty() ? std::string() : folder + "/recent";
}

std::string storeList(const std::vector<std::string>& list)
{
    const std::string path = listPath();
    if (path.empty())
        return "no HOME folder";
    if (std::string reason = makeFolders(configFolder()); !reason.empty())
        return reason;
    return writeFileAtomically(path, recentFilesText(list));
}

std::vector<std::string> storedList()
{
    const std::string path = listPath();
    std::string text;
    if (path.empty() || !readWholeFile(path, text, MAX_LIST_FILE_SIZE).empty())
        return {};
    return parseRecentFiles(text);
}

// Entries are absolute, so that the program's own change of its working folder at start-up
// cannot make them point elsewhere.
std::string absolutePath(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? std::string() : absolute.lexically_normal().string();
}

} // namespace

std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path)
{
    if (!isStorable(path))
        return list;
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > MAX_RECENT_FILES)
        list.resize(MAX_RECENT_FILES);
    return list;
}

std::vector<std::string> existingRecentFiles(
    std::vector<std::string> list, const std::function<bool(const std::string&)>& exists)
{
    list.erase(std::remove_if(
                   list.begin(), list.end(), [&exists](const std::string& path) { return !exists(path); }),
        list.end());
    return list;
}

std::string recentFilesText(const std::vector<std::string>& list)
{
    std::string text;
    for (const std::string& path : list)
        text += path + "\n";
    return text;
}

std::vector<std::string> parseRecentFiles(std::string_view text)
{
    std::vector<std::string> list;
    while (!text.empty() && list.size() < MAX_RECENT_FILES) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (isStorable(line) && std::find(list.begin(), list.end(), line) == list.end())
            list.emplace_back(line);
    }
    return list;
}

std::vector<std::string> loadRecentFiles()
{
    return existingRecentFiles(storedList(), isRegularFile);
}

std::string rememberRecentFile(const std::string& path)
{
    const std::string absolute = absolutePath(path);
    if (!isStorable(absolute))
        return "the path cannot be stored";
    return storeList(withRecentFile(loadRecentFiles(), absolute));
}

std::string forgetRecentFile(const std::string& path)
{
    std::vector<std::string> list = storedList();
    const auto end = std::remove(list.begin(), list.end(), path);
    if (end == list.end())
        return {};
    list.erase(end, list.end());
    return storeList(list);
}
