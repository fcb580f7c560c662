#pragma once

// The toolkit's steps that concern the process as a whole. At start-up the application calls
// bringProcessToFront and enterProgramFolder first, in this order; at its end shutdownToolkit
// is the toolkit's last step before the process exits.

// Brings the program to the front: raises and activates its visible windows. At start-up there
// are none yet, and every window that openWindow shows is raised and activated anyway.
void bringProcessToFront();

// Makes the folder that holds the executable the working directory, so that files the program
// keeps beside itself are found whatever folder it was started from. Leaves the working
// directory as it is when the executable's path cannot be found. Returns 1 when it changed
// directory, else 0. The working directory it found is kept as the starting folder.
int enterProgramFolder();

// The working directory that the last enterProgramFolder found: the folder the user started
// the program from, where the user's files are more likely than beside the executable. File
// system bytes; empty before enterProgramFolder, or when the directory could not be found.
const char* startingFolder();

// Closes every window, frees every menu and every font, empties the event queue and destroys
// the desktop connection (the application object), while the process can still do so cleanly.
// Without it the application object is left to the operating system at exit: Qt's own global
// objects may already be gone when exit handlers run, and destroying it then could crash.
// Toolkit operations after it start a new desktop connection. Nothing happens when none was
// made.
void shutdownToolkit();
