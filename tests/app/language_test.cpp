#include "app/app_state.h"
#include "app/language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The environment a lookup sees; set by each case.
std::map<std::string, std::string> g_environment;

const char* fakeEnvironment(const char* name)
{
    auto it = g_environment.find(name);
    return it == g_environment.end() ? nullptr : it->second.c_str();
}

constexpr const char* NO_TOOL = "/nonexistent/defaults";

TEST(Language, ComesFromTheLocaleThatDecidesTheLanguageOfMessages)
{
    struct Case {
        std::map<std::string, std::string> environment;
        const char* locale;
        const char* code;
        int language;
    } cases[] = {
        { { { "LANG", "de_AT.UTF-8" } }, "de_AT.UTF-8", "de", 1 },
        { { { "LANG", "de" } }, "de", "de", 1 },
        { { { "LANG", "en_GB.UTF-8" } }, "en_GB.UTF-8", "en", 0 },
        { { { "LANG", "fr_FR" } }, "fr_FR", "fr", 0 },
        { { { "LANG", "C" } }, "C", "C", 0 },
        { { { "LANG", "DE_de" } }, "DE_de", "DE", 0 }, // the comparison is case-sensitive
        { { { "LANG", "d" } }, "d", "d", 0 },
        { { { "LC_ALL", "de_DE" }, { "LC_MESSAGES", "fr_FR" }, { "LANG", "en_US" } }, "de_DE", "de", 1 },
        { { { "LC_ALL", "C" }, { "LANG", "de_DE" } }, "C", "C", 0 },
        { { { "LC_MESSAGES", "de_CH" }, { "LANG", "en_US" } }, "de_CH", "de", 1 },
        // Empty values are skipped.
        { { { "LC_ALL", "" }, { "LC_MESSAGES", "" }, { "LANG", "de_DE" } }, "de_DE", "de", 1 },
        { { { "LC_ALL", "" }, { "LANG", "" } }, "error", "er", 0 },
        { {}, "error", "er", 0 },
    };
    for (const Case& c : cases) {
        g_environment = c.environment;
        detectLanguage(NO_TOOL, fakeEnvironment);
        EXPECT_STREQ(localeString, c.locale) << c.locale;
        EXPECT_STREQ(languageCode, c.code) << c.locale;
        EXPECT_EQ(language, c.language) << c.locale;
    }
}

// A stand-in for the defaults tool, in a folder of its own.
class FakeTool : public ::testing::Test {
protected:
    FakeTool()
    {
        char pattern[] = "/tmp/language_test_XXXXXX";
        m_folder = mkdtemp(pattern);
    }
    ~FakeTool() override { std::system(("rm -rf '" + m_folder + "'").c_str()); }

    std::string tool(const std::string& script)
    {
        std::string path = m_folder + "/defaults";
        std::ofstream(path) << "#!/bin/sh\n" << script << "\n";
        chmod(path.c_str(), 0755);
        return path;
    }

private:
    std::string m_folder;
};

TEST_F(FakeTool, DefaultsValueJoinsEveryLineOfTheToolsOutput)
{
    std::string echo = tool(R"(printf '%s|%s|%s|%s\n' "$#" "$1" "$2" "$3"; pwd)");
    EXPECT_STREQ(readDefaultsValue("NSGlobalDomain", "AppleLocale", echo.c_str()),
        "3|read|NSGlobalDomain|AppleLocale/usr/bin");
    std::string lines = tool(R"(printf 'de_\nCH\r\n\nx')");
    EXPECT_STREQ(readDefaultsValue("NSGlobalDomain", "AppleLocale", lines.c_str()), "de_CH\rx");
    EXPECT_STREQ(readDefaultsValue("NSGlobalDomain", "AppleLocale", NO_TOOL), "error");
}

TEST_F(FakeTool, ToolsAnswerBeatsTheEnvironmentUnlessItHasNone)
{
    g_environment = { { "LANG", "fr_FR.UTF-8" } };
    detectLanguage(tool("echo de_DE").c_str(), fakeEnvironment);
    EXPECT_STREQ(localeString, "de_DE");
    EXPECT_EQ(language, 1);
    // A tool of that name that knows nothing of the setting (it fails, or prints nothing).
    for (const char* script : { "exit 1", "true" }) {
        detectLanguage(tool(script).c_str(), fakeEnvironment);
        EXPECT_STREQ(localeString, "fr_FR.UTF-8") << script;
        EXPECT_EQ(language, 0) << script;
    }
}

} // namespace
