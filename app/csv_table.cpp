#include "csv_table.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

void appendUtf8(std::string& out, unsigned char c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool needsQuotes(const std::string& field)
{
    if (field.empty())
        return false;
    if (field.front() == ' ' || field.back() == ' ' || field.front() == '\t' || field.back() == '\t')
        return true;
    // Separators of every kind are quoted, so that reading finds the comma again.
    return field.find_first_of(",;\t\"\r\n") != std::string::npos;
}

void appendCsvField(std::string& out, const std::string& field)
{
    const bool quoted = needsQuotes(field);
    if (quoted)
        out += '"';
    for (unsigned char c : field) {
        if (c == '"')
            out += '"';
        appendUtf8(out, c);
    }
    if (quoted)
        out += '"';
}

template <class AppendField>
std::string joinLines(const TableData& table, char separator, AppendField appendField)
{
    std::string out;
    auto appendLine = [&](const std::vector<std::string>& cells) {
        // A line of empty fields in one column would read as a blank line, which carries no row.
        if (separator == ',' && table.titles.size() == 1 && (cells.empty() || cells[0].empty())) {
            out += "\"\"\n";
            return;
        }
        for (std::size_t i = 0; i < table.titles.size(); ++i) {
            if (i > 0)
                out += separator;
            appendField(out, i < cells.size() ? cells[i] : std::string());
        }
        out += '\n';
    };
    appendLine(table.titles);
    for (const auto& row : table.rows)
        appendLine(row);
    return out;
}

// The length of the UTF-8 sequence at p and its code point, or 0 when it is malformed (overlong
// forms and surrogates included).
int decodeUtf8(const unsigned char* p, const unsigned char* end, std::uint32_t& code)
{
    const unsigned char c = *p;
    int length;
    if (c < 0x80) {
        code = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2;
        code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    constexpr std::array<std::uint32_t, 5> smallest = { 0, 0, 0x80, 0x800, 0x10000 };
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// The text in ISO 8859-1: UTF-8 converted (characters beyond it become "?"), anything that is not
// valid UTF-8 taken as ISO 8859-1 already. One pass for the common case of a valid file.
std::string toLatin1(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            out += static_cast<char>(*p++);
            continue;
        }
        std::uint32_t code;
        const int length = decodeUtf8(p, end, code);
        if (length == 0)
            return std::string(bytes);
        out += code <= 0xFF ? static_cast<char>(code) : '?';
        p += length;
    }
    return out;
}

// Control bytes but the tab read as blanks (line breaks are handled where they may stand).
bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20 && c != '\t';
}

// Text files hold no NUL and few other control bytes besides tab and the line ends.
bool looksBinary(std::string_view bytes)
{
    std::size_t controls = 0;
    for (unsigned char c : bytes) {
        if (c == 0)
            return true;
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f')
            ++controls;
    }
    return controls > bytes.size() / 100 + 1;
}

// The separator found most often outside quotes in the first line; a comma when none is.
char detectSeparator(std::string_view text)
{
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        return ';';
    if (tabs > commas && tabs > semicolons)
        return '\t';
    return ',';
}

} // namespace

std::string tableToCsv(const TableData& table)
{
    return joinLines(table, ',', appendCsvField);
}

std::string tableToTabText(const TableData& table)
{
    return joinLines(table, '\t', [](std::string& out, const std::string& cell) {
        // A spreadsheet reads a quoted field as one cell, line breaks included; a field that
        // starts with a quote must be quoted too, or its quote would be taken for the opening one.
        const bool quoted
            = cell.find_first_of("\r\n") != std::string::npos || (!cell.empty() && cell.front() == '"');
        if (quoted)
            out += '"';
        for (char c : cell) {
            if (c == '\t')
                out += ' ';
            else if (quoted && c == '"')
                out += "\"\"";
            else
                out += c;
        }
        if (quoted)
            out += '"';
    });
}

CsvReading readCsv(std::string_view bytes)
{
    CsvReading result;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (looksBinary(bytes)) {
        result.problem = CsvProblem::Binary;
        return result;
    }
    const std::string text = toLatin1(bytes);
    const char separator = detectSeparator(text);

    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> line;
    std::string field;
    std::size_t dataCells = 0;
    std::size_t lineNumber = 1; // of the file, at the character read
    std::size_t fieldLine = 1; // where the field being read starts
    std::size_t quoteLine = 0; // where the open quote opened
    bool quoted = false;
    bool fieldStarted = false;
    bool lineHasContent = false;
    auto endField = [&] {
        line.push_back(std::move(field));
        field.clear();
        fieldStarted = false;
        fieldLine = lineNumber;
    };
    // Blank lines carry no row.
    auto endLine = [&] {
        endField();
        if (lineHasContent || line.size() > 1) {
            if (!lines.empty())
                dataCells += line.size();
            lines.push_back(std::move(line));
        }
        line.clear();
        lineHasContent = false;
        ++lineNumber;
        fieldLine = lineNumber;
    };
    // Characters that mean the same inside and outside quotes are taken a run at a time.
    auto isPlain = [separator](char c) {
        return c != '"' && c != separator && c != '\r' && c != '\n' && !isControl(c);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            lineHasContent = true;
        if (isPlain(c)) {
            std::size_t end = i + 1;
            while (end < text.size() && end - i <= MAX_CSV_CELL_LENGTH && isPlain(text[end]))
                ++end;
            field.append(text, i, end - i);
            fieldStarted = true;
            i = end - 1;
        } else if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == '\r' || c == '\n') {
                // The file's own line end, whichever it is, becomes the cell's line break.
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
                field += '\n';
                ++lineNumber;
            } else {
                field += isControl(c) ? ' ' : c;
            }
        } else if (c == '"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
            quoteLine = lineNumber;
        } else if (c == separator) {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endLine();
        } else {
            field += isControl(c) ? ' ' : c;
            fieldStarted = true;
        }
        if (field.size() > MAX_CSV_CELL_LENGTH) {
            result.problem = CsvProblem::CellTooLong;
            result.line = fieldLine;
            result.column = line.size() + 1;
            return result;
        }
        if (line.size() > MAX_CSV_LINE_CELLS) {
            result.problem = CsvProblem::TooManyColumns;
            return result;
        }
        if (dataCells > MAX_CSV_FILE_CELLS) {
            result.problem = CsvProblem::TooManyCells;
            return result;
        }
    }
    if (quoted) {
        result.problem = CsvProblem::UnclosedQuote;
        result.line = quoteLine;
        return result;
    }
    if (lineHasContent || !line.empty())
        endLine();
    if (lines.empty()) {
        result.problem = CsvProblem::NoTitleLine;
        return result;
    }

    std::size_t columns = 0;
    for (const auto& l : lines)
        columns = std::max(columns, l.size());
    if (columns > MAX_CSV_LINE_CELLS) {
        result.problem = CsvProblem::TooManyColumns;
        return result;
    }
    if (columns * (lines.size() - 1) > MAX_CSV_FILE_CELLS) {
        result.problem = CsvProblem::TooManyCells;
        return result;
    }
    result.table.titles = std::move(lines[0]);
    // Cells beyond the title line get columns titled with their number.
    for (std::size_t i = result.table.titles.size(); i < columns; ++i)
        result.table.titles.push_back(std::to_string(i + 1));
    for (std::size_t r = 1; r < lines.size(); ++r) {
        lines[r].resize(columns);
        result.table.rows.push_back(std::move(lines[r]));
    }
    return result;
}
