#pragma once

#include <string>
#include <string_view>

// The parts of a file path as the file system sees them: raw bytes, "/" the only separator.

// The text after the last slash: the whole path when there is none. It is the end of path, so it
// ends in a NUL when path does.
std::string_view fileNamePart(std::string_view path);

// The text up to and including the last slash; empty when there is none.
std::string folderPart(std::string_view path);
