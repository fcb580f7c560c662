#include "argument_list.h"

#include <cstring>

namespace {

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

} // namespace

bool ArgumentList::build(const char* name, const char* parameters)
{
    m_pointers.clear();
    std::size_t nameLength = name ? std::strlen(name) : 0;
    std::size_t parametersLength = parameters ? std::strlen(parameters) : 0;
    // The name, its NUL, the parameter text and its NUL: split in place, every cut becomes a NUL.
    m_text.assign(nameLength + 1 + parametersLength + 1, '\0');
    if (nameLength)
        std::memcpy(m_text.data(), name, nameLength);
    if (parametersLength)
        std::memcpy(m_text.data() + nameLength + 1, parameters, parametersLength);

    std::vector<std::size_t> starts { 0 };
    std::size_t at = nameLength + 1;
    std::size_t end = at + parametersLength;
    while (at < end) {
        while (at < end && isSeparator(m_text[at]))
            ++at;
        if (at == end)
            break;
        if (static_cast<int>(starts.size()) > MAX_PROGRAM_PARAMETERS) {
            m_text.clear();
            return false;
        }
        if (m_text[at] == '"') {
            starts.push_back(++at);
            while (at < end && m_text[at] != '"' && m_text[at] != '\n')
                ++at;
        } else {
            starts.push_back(at);
            while (at < end && !isSeparator(m_text[at]))
                ++at;
        }
        if (at < end)
            m_text[at++] = '\0';
    }

    for (std::size_t start : starts)
        m_pointers.push_back(m_text.data() + start);
    m_pointers.push_back(nullptr);
    return true;
}
