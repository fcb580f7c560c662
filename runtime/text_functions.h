#pragma once

// The string functions. Texts are ISO 8859-1 bytes; nullptr is the empty text; positions are
// 1-based. Functions that produce a text append it at the work area position and leave the
// position at its end (see work_area.h); their arguments may lie inside the work area.

// Number of bytes before the NUL.
int textLength(const char* s);

// 1-based position of the first occurrence of what in s at or after start, or 0 when there is
// none, when s or what is empty, or when start lies beyond the last byte. start <= 0 counts as 1.
int searchText(const char* s, const char* what, int start = 1);

// Appends s with A-Z turned into a-z; every other byte unchanged.
void toLowerText(const char* s);

// Appends the first n bytes of s (nothing for n < 0, all of s for n > its length).
void leftPart(const char* s, int n);

// Appends s without its leading and trailing runs of the first byte of chars. chars == nullptr
// trims spaces; an empty chars removes nothing.
void trimText(const char* s, const char* chars = nullptr);

// Bit 0 of the mode for replaceText: compare ASCII letters without regard to case.
inline constexpr int REPLACE_IGNORE_CASE = 1;

// Appends s with every non-overlapping occurrence of find at or after start replaced.
void replaceText(const char* s, const char* find, const char* replacement, int mode = 0, int start = 1);

// Appends the text after the last slash of a path (a leading double quote is skipped, and the
// name ends before the next double quote).
void fileNameOf(const char* path);

// Appends the text up to and including the last slash of a path, or nothing when there is none.
void folderOf(const char* path);

// Appends the full path of the running executable.
void executablePath();
