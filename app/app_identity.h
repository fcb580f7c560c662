#pragma once

// The program as the desktop knows it: the id of its installed desktop entry and AppStream
// metadata, and its icon.
inline constexpr const char* APPLICATION_ID = "io.github.graphonite.Graphonite";

// Tells the desktop which installed entry the program's windows belong to, and gives the windows
// the program's icon (the installed 128-pixel one, built into the program so that it shows
// wherever the program runs from).
void announceApplicationIdentity();
