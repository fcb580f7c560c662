#include "command_line.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

constexpr const char* PROGRAM_NAME = "graphonite";

// An argument as it may be echoed in a message: bytes that would steer a terminal (the C0
// controls and Delete) are shown as '?'.
std::string printable(std::string_view argument)
{
    std::string text(argument);
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            c = '?';
    }
    return text;
}

CommandLine errorOf(std::string message)
{
    CommandLine result;
    result.action = CommandLineAction::Error;
    result.message = std::string(PROGRAM_NAME) + ": " + std::move(message);
    return result;
}

bool isOption(std::string_view argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

// The session id option in the forms that session managers and Qt use.
bool isSessionOption(std::string_view argument)
{
    for (std::string_view name : { "-session", "--session" }) {
        if (argument == name
            || (argument.size() > name.size() && argument.substr(0, name.size()) == name
                && argument[name.size()] == '='))
            return true;
    }
    return false;
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    int pictures = 0;
    std::string picture;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && isSessionOption(argument)) {
            // The session manager's restart command: "-session <id>". The program keeps no
            // session state, so the id is taken and ignored.
            if (argument.find('=') != std::string_view::npos)
                continue;
            if (i + 1 >= argc)
                return errorOf("option '" + printable(argument) + "' needs a session id");
            ++i;
            continue;
        }
        if (!optionsEnded && isOption(argument)) {
            CommandLine result;
            if (argument == "--help" || argument == "-h")
                result.action = CommandLineAction::Help;
            else if (argument == "--version")
                result.action = CommandLineAction::Version;
            else
                result = errorOf("unknown option '" + printable(argument) + "'");
            return result;
        }
        if (++pictures == 1)
            picture = argument;
    }
    if (pictures > 1)
        return errorOf("only one picture can be opened, but " + std::to_string(pictures) + " were given");
    CommandLine result;
    result.picturePath = std::move(picture);
    return result;
}

std::string usageText()
{
    return "Usage: graphonite [PICTURE]\n"
           "       graphonite --help | --version\n"
           "\n"
           "Graphonite reads values off a picture of a chart. Open a PNG, JPEG or BMP\n"
           "picture, calibrate the chart with three clicks and two reference values, and\n"
           "every further click writes the chart value of the clicked row into a table.\n"
           "Without PICTURE the program asks for one.\n"
           "\n"
           "Options:\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "  -session ID    ignored: the session manager's restart command gives it\n"
           "  --             end of options: the next argument is the PICTURE, even if it\n"
           "                 starts with '-'\n"
           "\n"
           "The manual, with every keyboard shortcut: man graphonite\n";
}

std::string versionText()
{
    return std::string(PROGRAM_NAME) + " " + GRAPHONITE_VERSION + "\n";
}

int answerCommandLine(const CommandLine& commandLine, std::FILE* out, std::FILE* err)
{
    switch (commandLine.action) {
    case CommandLineAction::Run:
        return 0;
    case CommandLineAction::Error:
        std::fprintf(err, "%s\nTry '%s --help'.\n", commandLine.message.c_str(), PROGRAM_NAME);
        return EXIT_USAGE_ERROR;
    case CommandLineAction::Help:
    case CommandLineAction::Version:
        break;
    }
    const std::string text = commandLine.action == CommandLineAction::Help ? usageText() : versionText();
    // A full disk or a closed pipe must not pass for success: the text counts as written only
    // once it left the buffer.
    errno = 0;
    const bool written = std::fputs(text.c_str(), out) >= 0 && std::fflush(out) == 0 && !std::ferror(out);
    if (written)
        return 0;
    const int error = errno;
    std::fprintf(err, "%s: cannot write to standard output%s%s\n", PROGRAM_NAME, error ? ": " : "",
        error ? std::strerror(error) : "");
    return 1;
}
