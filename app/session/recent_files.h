#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The pictures and projects opened last, most recent first, for the File menu. The list lives in
// the file "recent" of the configuration folder, one absolute path per line (the file system's
// raw bytes), written atomically so that a crash while writing never loses it.

inline constexpr std::size_t MAX_RECENT_FILES = 8;

// The list with path in front: an earlier entry of the same path goes, and the list keeps at most
// MAX_RECENT_FILES entries. A path that a line of the file cannot hold (empty, relative, or with
// a line break) leaves the list as it is.
[[nodiscard]] std::vector<std::string> withRecentFile(std::vector<std::string> list, const std::string& path);

// The list without the entries for which exists answers false.
[[nodiscard]] std::vector<std::string> existingRecentFiles(
    std::vector<std::string> list, const std::function<bool(const std::string&)>& exists);

// The file's text and back. Reading keeps the first MAX_RECENT_FILES usable lines and skips
// duplicates, so that a file edited by hand cannot make the menu long.
[[nodiscard]] std::string recentFilesText(const std::vector<std::string>& list);
[[nodiscard]] std::vector<std::string> parseRecentFiles(std::string_view text);

// The stored list, without the files that no longer exist (as regular files).
[[nodiscard]] std::vector<std::string> loadRecentFiles();

// The file was opened: it goes in front of the stored list. "" on success, else the reason; a
// failure only costs the menu its entry, so callers need not tell the user.
std::string rememberRecentFile(const std::string& path);

// The file could not be opened any more: it leaves the stored list.
std::string forgetRecentFile(const std::string& path);
