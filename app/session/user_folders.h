#pragma once

#include <string>

// The folders in which the program keeps files of its own, after the XDG base directory rules:
// the work of a running program under the state folder ($XDG_STATE_HOME, else
// $HOME/.local/state), the list of recent files under the configuration folder
// ($XDG_CONFIG_HOME, else $HOME/.config), each in a subfolder "graphonite".

// The rule itself, given the variables' values (nullptr when unset): a variable that holds a
// relative path is ignored, as the rules demand; "" when neither it nor HOME gives an absolute
// folder.
[[nodiscard]] std::string programFolder(const char* xdgValue, const char* home, const char* homeRelative);

// The same for this process's environment.
[[nodiscard]] std::string stateFolder();
[[nodiscard]] std::string configFolder();

// Creates the folder and the missing ones above it, readable by the user alone (the session
// holds the user's work); "" on success, else the system's reason.
[[nodiscard]] std::string makeFolders(const std::string& path);
