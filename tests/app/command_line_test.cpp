#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

namespace {

CommandLine parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "graphonite");
    return parseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

std::string actionName(CommandLineAction action)
{
    switch (action) {
    case CommandLineAction::Run:
        return "Run";
    case CommandLineAction::Help:
        return "Help";
    case CommandLineAction::Version:
        return "Version";
    case CommandLineAction::Error:
        return "Error";
    }
    return "?";
}

std::string joined(const std::vector<const char*>& arguments)
{
    std::string text;
    for (const char* argument : arguments)
        text += std::string(" [") + argument + "]";
    return text;
}

TEST(CommandLine, ArgumentsGiveTheirAction)
{
    struct Case {
        std::vector<const char*> arguments;
        CommandLineAction action;
        const char* picture;
    };
    const Case cases[] = {
        { {}, CommandLineAction::Run, "" },
        { { "chart.png" }, CommandLineAction::Run, "chart.png" },
        { { "" }, CommandLineAction::Run, "" }, // an empty argument names no picture: the program asks
        { { "-" }, CommandLineAction::Run, "-" }, // a lone dash is a file name, not an option
        { { "--help" }, CommandLineAction::Help, "" },
        { { "-h" }, CommandLineAction::Help, "" },
        { { "--version" }, CommandLineAction::Version, "" },
        { { "chart.png", "--help" }, CommandLineAction::Help, "" },
        { { "--version", "--help" }, CommandLineAction::Version, "" }, // the first option wins
        { { "--help", "--bogus" }, CommandLineAction::Help, "" },
        { { "a.png", "b.png", "--help" }, CommandLineAction::Help, "" }, // options decide before the count
        { { "--", "--help" }, CommandLineAction::Run, "--help" },
        { { "--", "-chart.png" }, CommandLineAction::Run, "-chart.png" },
        { { "--", "--" }, CommandLineAction::Run, "--" }, // only the first "--" ends the options
        { { "chart.png", "--" }, CommandLineAction::Run, "chart.png" },
        { { "--bogus" }, CommandLineAction::Error, "" },
        { { "-x" }, CommandLineAction::Error, "" },
        { { "--help=all" }, CommandLineAction::Error, "" },
        { { "--HELP" }, CommandLineAction::Error, "" },
        { { "--versio" }, CommandLineAction::Error, "" }, // no abbreviations
        { { "chart.png", "-v" }, CommandLineAction::Error, "" },
        { { "--bogus", "--help" }, CommandLineAction::Error, "" },
        { { "a.png", "b.png" }, CommandLineAction::Error, "" },
        { { "a.png", "--", "b.png" }, CommandLineAction::Error, "" },
        { { "", "" }, CommandLineAction::Error, "" },
        // The session manager starts the program again with its session id: taken and ignored.
        { { "-session", "10d2e3f4a5b6c7d8e9" }, CommandLineAction::Run, "" },
        { { "-session", "id", "chart.png" }, CommandLineAction::Run, "chart.png" },
        { { "chart.png", "--session", "id" }, CommandLineAction::Run, "chart.png" },
        { { "-session=id" }, CommandLineAction::Run, "" },
        { { "--session=id", "chart.png" }, CommandLineAction::Run, "chart.png" },
        { { "-session", "--help" }, CommandLineAction::Run, "" }, // the id, whatever it looks like
        { { "-session" }, CommandLineAction::Error, "" }, // no id
        { { "--", "-session", "x" }, CommandLineAction::Error, "" }, // two pictures
        { { "-sessions", "x" }, CommandLineAction::Error, "" },
    };
    for (const Case& c : cases) {
        const CommandLine result = parse(c.arguments);
        EXPECT_EQ(actionName(result.action), actionName(c.action)) << joined(c.arguments);
        EXPECT_EQ(result.picturePath, c.picture) << joined(c.arguments);
        EXPECT_EQ(result.message.empty(), c.action != CommandLineAction::Error) << joined(c.arguments);
    }
}

TEST(CommandLine, ErrorMessagesAreOneLineNamingTheCause)
{
    struct Case {
        std::vector<const char*> arguments;
        const char* message;
    };
    const Case cases[] = {
        { { "--bogus" }, "graphonite: unknown option '--bogus'" },
        { { "-x", "chart.png" }, "graphonite: unknown option '-x'" },
        // Control bytes of an argument never reach the terminal.
        { { "--\x1b[2Jgone\n" }, "graphonite: unknown option '--?[2Jgone?'" },
        { { "a.png", "b.png" }, "graphonite: only one picture can be opened, but 2 were given" },
        { { "a.png", "b.png", "c.png" }, "graphonite: only one picture can be opened, but 3 were given" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse(c.arguments).message, c.message) << joined(c.arguments);
}

TEST(CommandLine, ANullArgumentCountsAsEmpty)
{
    const char* arguments[] = { "graphonite", nullptr };
    const CommandLine result = parseCommandLine(2, arguments);
    EXPECT_EQ(actionName(result.action), "Run");
    EXPECT_EQ(result.picturePath, "");
}

// What answerCommandLine wrote to a stream, and the exit code it gave.
struct Answer {
    int exitCode = -1;
    std::string out, err;
};

std::string contentOf(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file))
        text += static_cast<char>(c);
    std::fclose(file);
    return text;
}

Answer answer(const CommandLine& commandLine)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    Answer result;
    if (!out || !err) {
        ADD_FAILURE() << "no temporary file";
        return result;
    }
    result.exitCode = answerCommandLine(commandLine, out, err);
    result.out = contentOf(out);
    result.err = contentOf(err);
    return result;
}

TEST(CommandLine, AnswersGoToTheirStreamWithTheirExitCode)
{
    const Answer help = answer(parse({ "--help" }));
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, usageText());
    EXPECT_EQ(help.err, "");

    const Answer version = answer(parse({ "--version" }));
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("graphonite [0-9]+(\\.[0-9]+)*\n"))) << version.out;
    EXPECT_EQ(version.err, "");

    const Answer error = answer(parse({ "--bogus" }));
    EXPECT_EQ(error.exitCode, EXIT_USAGE_ERROR);
    EXPECT_EQ(error.out, "");
    EXPECT_EQ(error.err, "graphonite: unknown option '--bogus'\nTry 'graphonite --help'.\n");

    const Answer run = answer(parse({ "chart.png" }));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out + run.err, "");
}

TEST(CommandLine, UsageNamesTheFormOptionsAndManual)
{
    const std::string usage = usageText();
    for (const char* part :
        { "graphonite [PICTURE]", "--help", "--version", "PNG, JPEG or BMP", "man graphonite" })
        EXPECT_NE(usage.find(part), std::string::npos) << part;
    EXPECT_EQ(usage.back(), '\n');
    // Short enough for a terminal without scrolling, no line wider than 80 columns.
    std::size_t lines = 0;
    std::size_t start = 0;
    for (std::size_t end = usage.find('\n'); end != std::string::npos; end = usage.find('\n', start)) {
        EXPECT_LE(end - start, 80u) << usage.substr(start, end - start);
        start = end + 1;
        ++lines;
    }
    EXPECT_LE(lines, 24u);
}

TEST(CommandLine, AFailedWriteIsNoSuccess)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(answerCommandLine(parse({ "--help" }), full, err), 1);
    std::fclose(full);
    EXPECT_EQ(contentOf(err).rfind("graphonite: cannot write to standard output", 0), 0u);
}

} // namespace
