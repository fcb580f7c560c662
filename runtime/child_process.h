#pragma once

#include <sys/types.h>

// What a new child process is to run and how its standard streams are connected. Everything is
// prepared before fork: the child only calls async-signal-safe functions.
struct ChildSetup {
    const char* program = nullptr; // executed with the system's path search
    char* const* argv = nullptr; // null-terminated; argv[0] is the program name
    const char* folder = nullptr; // working folder; nullptr or empty keeps ours
    int standardInput = -1; // descriptors to become 0, 1 and 2; -1 leaves ours
    int standardOutput = -1;
    int standardError = -1;
    // Standard input comes from a descriptor shared with our own non-blocking reader; the child
    // needs it blocking, or its first read of an empty pipe fails.
    bool blockingInput = false;
};

// Starts a child; returns its process id, which the caller must reap, or -1.
[[nodiscard]] pid_t forkChild(const ChildSetup& setup);

// Starts the program as a grandchild that nobody has to wait for: an intermediate child forks it,
// reports its id through a pipe and ends, and is reaped here. Returns the grandchild's id, or -1
// when it could not be started or its id did not arrive.
[[nodiscard]] pid_t forkOrphan(const ChildSetup& setup);

// Exit status of a child: the program's own, or 1 when a signal ended it.
int exitCodeOf(int waitStatus);
