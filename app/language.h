#pragma once

#include "runtime/runtime_string.h"

// Where the interface language comes from: the desktop's defaults tool when there is one, else
// the locale that decides the language of messages.

// The desktop's settings tool, asked for the locale with "read NSGlobalDomain AppleLocale".
inline constexpr const char* DEFAULTS_TOOL = "/usr/bin/defaults";

// Reads an environment variable; nullptr when it is not set.
using EnvironmentLookup = const char* (*)(const char* name);
const char* processEnvironment(const char* name);

// Everything the tool prints for the setting, its lines joined without separator; "error" when
// the tool cannot be started. (The tool is a parameter only so that tests can stand in for it.)
String readDefaultsValue(const char* domain, const char* key, const char* tool = DEFAULTS_TOOL);

// The first of LC_ALL, LC_MESSAGES and LANG that is set and not empty, as the C library picks the
// language of messages; "error" when none is.
String localeFromEnvironment(EnvironmentLookup lookup = processEnvironment);

// The locale setting: the tool's answer when the tool exists and gives one, otherwise the
// environment's.
String detectLocale(const char* tool = DEFAULTS_TOOL, EnvironmentLookup lookup = processEnvironment);

// 1 (German) when the language code is exactly "de", else 0 (English).
int languageOf(const char* code);

// Sets localeString, languageCode and language (app_state.h) once at start-up.
void detectLanguage(const char* tool = DEFAULTS_TOOL, EnvironmentLookup lookup = processEnvironment);
