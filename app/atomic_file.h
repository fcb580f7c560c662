#pragma once

#include <string>
#include <string_view>

// Replacing a file's content all at once: the bytes go into a new file in the same folder, which
// is flushed to the disk and then renamed over the old one, so that a failure at any point leaves
// the old file (or no file) and never half a file.

// "" on success, else the reason (the system's own words). Only regular files are replaced; a
// symbolic link keeps pointing to the file it names.
std::string writeFileAtomically(const std::string& path, std::string_view bytes);

// The whole file; "" as the reason on success, else the reason. Files larger than limit bytes are
// refused.
std::string readWholeFile(const std::string& path, std::string& bytes, std::size_t limit);
