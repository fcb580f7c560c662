#pragma once

#include <vector>

// The most parameters a program may be given after its name.
inline constexpr int MAX_PROGRAM_PARAMETERS = 520;

// The argument vector handed to exec: the program name unchanged, then the parameters split from
// one parameter text, then a null entry.
//
// Splitting: spaces, tabs and line feeds separate parameters. A parameter that starts with a
// double quote runs to the next double quote or line feed (or the end), without the quotes; a
// quote inside an unquoted parameter is an ordinary byte. Nothing else is special.
//
// The vector is built before fork so that the child only has to call exec.
class ArgumentList {
public:
    // False (and an empty list) when the text holds more than MAX_PROGRAM_PARAMETERS parameters;
    // a program must not run with parameters silently dropped.
    [[nodiscard]] bool build(const char* name, const char* parameters);

    // Null-terminated, for exec; valid while the list lives and is not rebuilt.
    char* const* argv() const { return m_pointers.data(); }
    // Name and parameters, without the null entry.
    int count() const { return m_pointers.empty() ? 0 : static_cast<int>(m_pointers.size()) - 1; }
    const char* argument(int index) const { return m_pointers[static_cast<std::size_t>(index)]; }

private:
    std::vector<char> m_text;
    std::vector<char*> m_pointers;
};
