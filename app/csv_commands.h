#pragma once

// Taking the data out and bringing it back: "Save To CSV", "Load From CSV" and "Copy Data To
// Clipboard".

// Asks where to save (proposing the diagram's name with .csv, in its folder) and writes the
// table there; the modified mark is cleared once the file is complete.
void saveTableToCsv();

// Asks for a CSV file (after the unsaved-data question) and makes it the table.
void loadTableFromCsv();

// Makes the file the table; 0, after telling the user why, when it holds no table we can read
// (the table then stays untouched).
bool loadTableFile(const char* path);

// The table as tab-separated text on the clipboard.
void copyTableToClipboard();
