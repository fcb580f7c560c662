#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Replacing a file's content all at once: the bytes go into a new file in the same folder, which
// is flushed to the disk and then renamed over the old one, and the folder is flushed after the
// rename, so that a failure or a power cut at any point leaves the old file (or no file) and never
// half a file.
//
// The new file has a short hidden name of its own (".graphonite-" and six characters), so that
// every name the file system accepts can be saved, however long, and removed again on failure.

// "" on success, else the reason (the system's own words). Only regular files are replaced; a
// symbolic link keeps pointing to the file it names. A file that its mode bits do not let this user
// write is refused ("Permission denied") rather than replaced, as editors do, also for the
// administrator, whom the system would let replace it.
std::string writeFileAtomically(const std::string& path, std::string_view bytes);

// The whole file; "" as the reason on success, else the reason. Files larger than limit bytes and
// anything but regular files (folders, pipes, devices) are refused without waiting.
std::string readWholeFile(const std::string& path, std::string& bytes, std::size_t limit);
