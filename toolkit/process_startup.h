#pragma once

// The start-up steps that concern the process as a whole; the application calls them first, in
// this order.

// Brings the program to the front: raises and activates its visible windows. At start-up there
// are none yet, and every window that openWindow shows is raised and activated anyway.
void bringProcessToFront();

// Makes the folder that holds the executable the working directory, so that files the program
// keeps beside itself are found whatever folder it was started from. Leaves the working
// directory as it is when the executable's path cannot be found. Returns 1 when it changed
// directory, else 0.
int enterProgramFolder();
