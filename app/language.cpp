#include "language.h"

#include "app_state.h"
#include "runtime/program_path.h"
#include "runtime/program_runner.h"
#include "runtime/text_builder.h"
#include "runtime/text_functions.h"
#include "runtime/work_area.h"

#include <cstdlib>

const char* processEnvironment(const char* name)
{
    return std::getenv(name);
}

String readDefaultsValue(const char* domain, const char* key, const char* tool)
{
    Handle program = 0;
    {
        WorkText parameters("read ", domain, " ", key);
        program = startProgram(tool, parameters, "/usr/bin", RUN_OPEN | RUN_READ, 0);
    }
    if (!program)
        return String("error");
    int mark = workAreaPosition();
    while (programAlive(program))
        readProgramLine(program);
    String value;
    storeFromWorkArea(value, mark);
    releaseProgram(program);
    return value;
}

String localeFromEnvironment(EnvironmentLookup lookup)
{
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* value = lookup(name);
        if (value && *value)
            return String(value);
    }
    return String("error");
}

String detectLocale(const char* tool, EnvironmentLookup lookup)
{
    // On desktops without the tool, or where a tool of that name knows nothing of the setting,
    // the environment speaks for the desktop.
    if (isExecutableFile(tool)) {
        String value = readDefaultsValue("NSGlobalDomain", "AppleLocale", tool);
        if (!value.isEmpty() && !stringsEqual(value, "error"))
            return value;
    }
    return localeFromEnvironment(lookup);
}

int languageOf(const char* code)
{
    return stringsEqual(code, "de");
}

void detectLanguage(const char* tool, EnvironmentLookup lookup)
{
    localeString = detectLocale(tool, lookup);
    storeText(languageCode, [] { leftPart(localeString, 2); });
    language = languageOf(languageCode);
}
