#pragma once

#include <cstdio>
#include <string>

// The program's command line: graphonite [PICTURE], or one of the options --help (-h) and
// --version. Reading it is pure, so that the rules can be tested without a desktop; answering
// Help, Version and Error happens before the runtime starts, so none of them opens a window.

enum class CommandLineAction {
    Run, // start the program, with the picture when one was given
    Help, // print the usage text and exit 0
    Version, // print the version line and exit 0
    Error, // print the message and a hint to --help on standard error and exit 2
};

struct CommandLine {
    CommandLineAction action = CommandLineAction::Run;
    std::string picturePath; // Run: the picture as given (not resolved); empty when none
    std::string message; // Error: one line, without line feed
};

inline constexpr int EXIT_USAGE_ERROR = 2;

// The options decide first, read left to right: the first --help, --version or unknown option
// wins, wherever the picture stands. Every other argument names the picture: a lone "-" too, and
// after "--" every argument, whatever it starts with. More than one picture is an error; an empty
// argument counts as a picture that names none, so the program asks for one. "-session ID" (also
// "--session ID", "-session=ID", "--session=ID"), which session managers append, is skipped.
[[nodiscard]] CommandLine parseCommandLine(int argc, const char* const* argv);

// The text printed for --help and the line printed for --version (each ends with a line feed).
[[nodiscard]] std::string usageText();
[[nodiscard]] std::string versionText();

// Prints what Help, Version or Error asks for to out or err and returns the process exit code:
// 0 for Help and Version, 1 when that text could not be written, EXIT_USAGE_ERROR for Error.
// Run prints nothing and gives 0.
[[nodiscard]] int answerCommandLine(const CommandLine& commandLine, std::FILE* out, std::FILE* err);
