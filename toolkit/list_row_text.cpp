#include "toolkit/list_row_text.h"

#include <cstddef>

namespace {

// Where line `index` starts and how long it is, without its line feed; false when there is no
// such line.
bool findLine(std::string_view text, int index, std::size_t& start, std::size_t& length)
{
    if (index < 0)
        return false;
    std::size_t at = 0;
    for (int line = 0; at < text.size(); ++line) {
        const std::size_t end = text.find('\n', at);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (line == index) {
            start = at;
            length = stop - at;
            return true;
        }
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    return false;
}

} // namespace

std::string_view rowCell(std::string_view text, int index)
{
    std::size_t start = 0;
    std::size_t length = 0;
    return findLine(text, index, start, length) ? text.substr(start, length) : std::string_view();
}

int rowCellCount(std::string_view text)
{
    int count = 0;
    std::size_t start = 0;
    std::size_t length = 0;
    while (findLine(text, count, start, length))
        ++count;
    return count;
}

std::string rowWithCell(std::string_view text, int columns, int column, std::string_view cell)
{
    std::string row;
    for (int c = 0; c < columns; ++c) {
        row += c == column ? cell : rowCell(text, c);
        row += '\n';
    }
    return row;
}

std::string rowWithoutCell(std::string_view text, int index)
{
    std::size_t start = 0;
    std::size_t length = 0;
    if (!findLine(text, index, start, length))
        return std::string(text);
    std::string row(text.substr(0, start));
    const std::size_t next = start + length + 1;
    if (next < text.size())
        row += text.substr(next);
    return row;
}

std::string rowWithEmptyCell(std::string_view text, int index)
{
    std::size_t start = 0;
    std::size_t length = 0;
    if (!findLine(text, index, start, length))
        return std::string(text);
    std::string row(text.substr(0, start));
    row += '\n';
    row += text.substr(start);
    return row;
}
