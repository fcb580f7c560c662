#pragma once

#include "object_number.h"
#include "pipe_reader.h"

// Runs other programs as child processes, optionally connected through pipes.
//
// Rules:
// - A handle (RUN_OPEN) is a number that is never reused in this process. Every operation checks
//   it against the list of live programs, so a released or made-up handle does nothing and
//   returns 0 (-1 for programExitCode).
// - Every child is reaped: by the program's waiter thread (RUN_OPEN), by startProgram itself
//   (RUN_WAIT), or by the system once the intermediate child of a double fork has ended.
// - Our pipe ends are closed on exec, so no other child inherits them.
// - Starting, reading, writing and releasing belong to one thread (the application's); only the
//   waiter threads run beside it, and they touch nothing but the process id and exit code.

// Run flags (bits of one integer).
inline constexpr int RUN_WAIT = 1; // return only after the program has ended
inline constexpr int RUN_OPEN = 4; // keep a handle; needed by the flags below and every query
inline constexpr int RUN_READ = 8; // the program's standard output comes to us through a pipe
inline constexpr int RUN_WRITE = 0x10; // we write the program's standard input through a pipe
inline constexpr int RUN_ERROR = 0x20; // the program's standard error comes to us through a pipe
// The program's standard input is the standard output of another handle, which gives up its
// reader for it (what that reader already holds stays readable). Not together with RUN_WRITE.
inline constexpr int RUN_CONNECT = 0x40;

// Prepares the list of programs and its mutex; idempotent. Every other operation calls it.
void initProgramRunner();

// Finds and starts a program (see program_path.h) with the parameters split as described in
// argument_list.h, in folder (nullptr or empty: ours). With RUN_OPEN: the program's handle, or 0
// on failure. Without: 1 when the program was started, 0 on failure. Failure: the program was
// not found or not executable, the parameters were too many, a pipe, fork or thread could not be
// made, or RUN_CONNECT named no live program with an output reader. A program that was found but
// cannot be executed ends at once with exit code 1.
Handle startProgram(const char* name, const char* parameters, const char* folder, int flags, Handle other);

// 1 while output remains to be read or, without an output reader, while the program runs.
// With an output reader this waits until there is output or the output has ended, so that every
// 1 is followed by a line; at the end of the output it waits for the program to end and gives 0.
int programAlive(Handle handle);

// Appends the next line of output to the string work area without its line feed (a carriage
// return stays). At the end of the output it appends the empty text.
void readProgramLine(Handle handle);

// 1 when the program has ended, 0 when timeoutMs passed first. timeoutMs 0 only tests; a negative
// one waits without limit.
int waitForProgram(Handle handle, int timeoutMs);

// Closes the pipes and forgets the program; a running program goes on running and is still
// reaped by its waiter thread. Returns at once.
void releaseProgram(Handle handle);

// The exit code: -1 until it is known, then the program's exit status, or 1 when a signal ended
// it (or its execution failed).
int programExitCode(Handle handle);

// The child's process id, 0 for an unknown handle.
int programProcessId(Handle handle);

// The readers of the program's standard output and standard error, nullptr when there is none.
// Valid until the program is released.
PipeReader* programOutputReader(Handle handle);
PipeReader* programErrorReader(Handle handle);

// Writes size bytes to the program's standard input (RUN_WRITE); size, or -1 when the program has
// ended or closed its input.
int writeProgramInput(Handle handle, const void* bytes, int size);

// Closes the program's standard input, so that it reads the end of its input.
void closeProgramInput(Handle handle);
