#pragma once

#include <string>

// An executable file: it exists, is not a folder, holds at least one byte, and the calling user
// may execute it.
bool isExecutableFile(const char* path);

// Where a program to be started lives, or the empty text when it cannot be run.
//
// - A name with a slash is taken as it is (exec does not search for such names): it must be an
//   executable file.
// - Any other name is looked for in every entry of pathVariable (the "PATH" text, entries
//   separated by ":", empty entries skipped), left to right; the first executable file wins.
//   A pathVariable of nullptr finds nothing.
std::string findProgram(const char* name, const char* pathVariable);
