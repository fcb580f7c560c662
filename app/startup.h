#pragma once

#include <functional>

// Start-up and shut-down of the program.

// The runtime's start-up steps, in their fixed order (each only prepares its facility).
void initRuntime();

// Everything up to the event loop: state, language, translations, display width, decoders, the
// first diagram (the picture at path when it opens, else the open requester until one does or
// the user gives up) and the menus.
void startApplication(const char* picturePath);

// The program's whole run; the process exit code.
int runGraphonite(int argc, char** argv);

// The runtime's end steps: windows, fonts, files, images in this order, then the work area.
void shutdownRuntime();

// Shuts down and ends the process with exit code 0; does not return.
[[noreturn]] void endProgram();

// Tests replace how endProgram ends the process (it must not return: throw, for example). An
// empty function restores the real exit.
void setProgramEnd(std::function<void(int exitCode)> end);

// Every application variable back to its value before start-up.
void resetApplicationState();
