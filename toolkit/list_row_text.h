#pragma once

#include <string>
#include <string_view>

// The text of a list row holds all its cells: cell i is line i, lines end at a line feed, and
// a line that is missing is an empty cell. "a\nb\n" and "a\nb" both hold the cells a and b; a
// line feed at the very end starts no further line.

// Line `index` without its line feed; empty when the text has no such line (or index < 0).
std::string_view rowCell(std::string_view text, int index);

// The number of lines.
int rowCellCount(std::string_view text);

// The row text rebuilt for a list of `columns` columns: one line per column, each followed by a
// line feed, with `cell` in line `column` and the old lines elsewhere (empty where the old text
// had fewer lines). Lines beyond the columns are dropped.
std::string rowWithCell(std::string_view text, int columns, int column, std::string_view cell);

// The text without line `index` (the lines after it move up); unchanged when there is no such
// line.
std::string rowWithoutCell(std::string_view text, int index);

// The text with an empty line inserted before line `index`, so that the cells from there on
// move one column to the right; unchanged when the text has no line at or after `index`.
std::string rowWithEmptyCell(std::string_view text, int index);
