#include "project_format.h"

#include "app/marker_palette.h"

#include "imaging/decoders/image_limits.h"
#include "runtime/base64.h"
#include "runtime/json_value.h"

#include <cmath>
#include <cstdint>

std::size_t ProjectData::pointCount() const
{
    std::size_t count = 0;
    for (const Series& column : columns) {
        for (const Cell& cell : column.cells)
            count += cell.kind == CellKind::Captured ? 1 : 0;
    }
    return count;
}

namespace {

// Values in the whole text: each cell costs at most four (a captured point and its three
// numbers), each calibration some thirty, and the rest of the file a few hundred.
constexpr std::size_t MAX_JSON_VALUES = MAX_PROJECT_CELLS * 4 + MAX_PROJECT_CALIBRATIONS * 32 + 4096;
constexpr int MAX_JSON_DEPTH = 8;

// ---- Writing ----

std::string utf8OfLatin1(std::string_view text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

bool isUtf8(std::string_view bytes)
{
    std::string quoted = "\"";
    for (const char c : bytes) {
        // Escaping what a JSON string may not hold raw leaves only the question of UTF-8.
        if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            quoted += ' ';
        else
            quoted += c;
    }
    quoted += '"';
    return readJson(quoted, {}).ok;
}

class ProjectWriter {
public:
    std::string write(const ProjectData& data)
    {
        m_out += "{\n  \"format\": ";
        appendJsonString(m_out, PROJECT_FORMAT_NAME);
        m_out += ",\n  \"version\": ";
        appendJsonNumber(m_out, PROJECT_FORMAT_VERSION);
        m_out += ",\n  \"picture\": {";
        // A path that is not UTF-8 (file names are bytes) travels as base64 to stay exact.
        if (isUtf8(data.picturePath)) {
            m_out += "\"path\": ";
            appendJsonString(m_out, data.picturePath);
        } else {
            m_out += "\"pathBase64\": ";
            appendJsonString(m_out, encodeBase64(data.picturePath));
        }
        m_out += ", \"sha256\": ";
        appendJsonString(m_out, data.pictureSha256);
        m_out += ", \"width\": ";
        appendJsonNumber(m_out, data.pictureWidth);
        m_out += ", \"height\": ";
        appendJsonNumber(m_out, data.pictureHeight);
        if (data.embeddedPicture) {
            m_out += ",\n    \"embedded\": ";
            appendJsonString(m_out, encodeBase64(*data.embeddedPicture));
        }
        m_out += "},\n  \"calibration\": ";
        writeCalibration(data.calibration);
        m_out += ",\n  \"widthClicked\": ";
        m_out += data.widthClicked ? "true" : "false";
        m_out += ",\n  \"heightClicked\": ";
        m_out += data.heightClicked ? "true" : "false";
        m_out += ",\n  \"calibrations\": [";
        for (std::size_t i = 0; i < data.calibrations.size(); ++i) {
            m_out += i == 0 ? "\n    " : ",\n    ";
            writeCalibration(data.calibrations[i]);
        }
        m_out += "],\n  \"options\": {\"captureXy\": ";
        m_out += data.capturesXy ? "true" : "false";
        m_out += ", \"markersShown\": ";
        m_out += data.markersShown ? "true" : "false";
        m_out += ", \"catchingPoints\": ";
        m_out += data.catchingPoints ? "true" : "false";
        m_out += "},\n  \"selectedColumn\": ";
        appendJsonNumber(m_out, data.selectedColumn);
        m_out += ",\n  \"columns\": [";
        for (std::size_t i = 0; i < data.columns.size(); ++i) {
            m_out += i == 0 ? "\n    " : ",\n    ";
            writeColumn(data.columns[i], static_cast<int>(i));
        }
        m_out += "]\n}\n";
        return std::move(m_out);
    }

private:
    void writePair(double a, double b)
    {
        m_out += '[';
        appendJsonNumber(m_out, a);
        m_out += ", ";
        appendJsonNumber(m_out, b);
        m_out += ']';
    }

    void writeTriple(double a, double b, double c)
    {
        m_out += '[';
        appendJsonNumber(m_out, a);
        m_out += ", ";
        appendJsonNumber(m_out, b);
        m_out += ", ";
        appendJsonNumber(m_out, c);
        m_out += ']';
    }

    void writeMark(const AxisMark& mark) { writeTriple(mark.pixel.x, mark.pixel.y, mark.value); }

    void writeCalibration(const CaptureCalibration& c)
    {
        m_out += "{\"origin\": ";
        writePair(c.originX, c.originY);
        m_out += ", \"span\": ";
        writePair(c.spanWidth, c.spanHeight);
        m_out += ", \"references\": ";
        writePair(c.widthReference, c.heightReference);
        m_out += ", \"originValues\": ";
        writePair(c.originValueX, c.originValueY);
        m_out += ", \"displayScale\": ";
        appendJsonNumber(m_out, c.displayScale);
        m_out += ", \"xScale\": ";
        m_out += c.xScale == AxisScale::Logarithmic ? "\"logarithmic\"" : "\"linear\"";
        m_out += ", \"yScale\": ";
        m_out += c.yScale == AxisScale::Logarithmic ? "\"logarithmic\"" : "\"linear\"";
        if (c.axisMarks) {
            m_out += ", \"axisMarks\": [";
            writeMark(c.axisMarks->x1);
            m_out += ", ";
            writeMark(c.axisMarks->x2);
            m_out += ", ";
            writeMark(c.axisMarks->y1);
            m_out += ", ";
            writeMark(c.axisMarks->y2);
            m_out += ']';
        }
        m_out += '}';
    }

    void writeColumn(const Series& series, int index)
    {
        m_out += "{\"title\": ";
        appendJsonString(m_out, utf8OfLatin1(series.title));
        if (series.label) {
            m_out += ", \"name\": ";
            appendJsonString(m_out, utf8OfLatin1(*series.label));
        }
        // The colour its markers are drawn in, for a reader of the file; the program gives each
        // column its colour by its place, so it is not read back.
        m_out += ", \"colour\": ";
        appendJsonString(m_out, colourText(index));
        m_out += ",\n     \"cells\": [";
        for (std::size_t row = 0; row < series.cells.size(); ++row) {
            if (row > 0)
                m_out += row % 8 == 0 ? ",\n      " : ", ";
            const Cell& cell = series.cells[row];
            switch (cell.kind) {
            case CellKind::Empty:
                m_out += "null";
                break;
            case CellKind::Captured:
                writeTriple(cell.point.x, cell.point.y, cell.calibration);
                break;
            case CellKind::Loaded:
                if (cell.xText.empty()) {
                    appendJsonString(m_out, utf8OfLatin1(cell.text));
                } else {
                    m_out += '[';
                    appendJsonString(m_out, utf8OfLatin1(cell.xText));
                    m_out += ", ";
                    appendJsonString(m_out, utf8OfLatin1(cell.text));
                    m_out += ']';
                }
                break;
            }
        }
        m_out += "]}";
    }

    static std::string colourText(int column);

    std::string m_out;
};

std::string ProjectWriter::colourText(int column)
{
    // Colours are 0xAABBGGRR; the file shows them as #RRGGBB.
    const std::uint32_t fill = markerColours(column).fill;
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string text = "#";
    for (const int shift : { 0, 8, 16 }) {
        const unsigned byte = (fill >> shift) & 0xFF;
        text += DIGITS[byte >> 4];
        text += DIGITS[byte & 15];
    }
    return text;
}

// ---- Reading ----

// Thrown inside the reader only, caught in readProject: a refusal with where it was found.
struct Refusal {
    ProjectProblem problem;
    std::string detail;
};

[[noreturn]] void refuse(ProjectProblem problem, std::string detail)
{
    throw Refusal { problem, std::move(detail) };
}

const JsonValue& memberOf(const JsonValue& object, const char* name, const std::string& where)
{
    const JsonValue* value = object.member(name);
    if (!value)
        refuse(ProjectProblem::Damaged, where.empty() ? std::string(name) : where + "." + name);
    return *value;
}

const JsonValue& ofKind(const JsonValue& value, JsonValue::Kind kind, const std::string& where)
{
    if (value.kind() != kind)
        refuse(ProjectProblem::Damaged, where);
    return value;
}

double numberOf(const JsonValue& value, const std::string& where)
{
    return ofKind(value, JsonValue::Kind::Number, where).number();
}

bool booleanOf(const JsonValue& object, const char* name, const std::string& where)
{
    return ofKind(
        memberOf(object, name, where), JsonValue::Kind::Boolean, where.empty() ? name : where + "." + name)
        .boolean();
}

// A whole number within [low, high].
long long wholeNumberOf(const JsonValue& value, long long low, long long high, const std::string& where)
{
    const double number = numberOf(value, where);
    if (!(number >= static_cast<double>(low) && number <= static_cast<double>(high))
        || std::floor(number) != number)
        refuse(ProjectProblem::Damaged, where);
    return static_cast<long long>(number);
}

// The Latin-1 form of a UTF-8 text; a character beyond U+00FF is refused rather than lost.
std::string latin1OfUtf8(const std::string& utf8, const std::string& where)
{
    if (utf8.size() > MAX_PROJECT_TEXT * 2)
        refuse(ProjectProblem::TextTooLong, where);
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size()) {
            text
                += static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            ++i;
        } else {
            refuse(ProjectProblem::NotLatin1, where);
        }
    }
    if (text.size() > MAX_PROJECT_TEXT)
        refuse(ProjectProblem::TextTooLong, where);
    return text;
}

std::string textOf(const JsonValue& value, const std::string& where)
{
    return latin1OfUtf8(ofKind(value, JsonValue::Kind::String, where).text(), where);
}

void readPair(const JsonValue& object, const char* name, double& a, double& b, const std::string& where)
{
    const std::string at = where + "." + name;
    const JsonValue& pair = ofKind(memberOf(object, name, where), JsonValue::Kind::Array, at);
    if (pair.items().size() != 2)
        refuse(ProjectProblem::Damaged, at);
    a = numberOf(pair.items()[0], at + "[0]");
    b = numberOf(pair.items()[1], at + "[1]");
}

AxisScale scaleOf(const JsonValue& object, const char* name, const std::string& where)
{
    const std::string at = where + "." + name;
    const std::string& text = ofKind(memberOf(object, name, where), JsonValue::Kind::String, at).text();
    if (text == "linear")
        return AxisScale::Linear;
    if (text == "logarithmic")
        return AxisScale::Logarithmic;
    refuse(ProjectProblem::Damaged, at);
}

AxisMark markOf(const JsonValue& value, const std::string& where)
{
    if (ofKind(value, JsonValue::Kind::Array, where).items().size() != 3)
        refuse(ProjectProblem::Damaged, where);
    AxisMark mark;
    mark.pixel.x = numberOf(value.items()[0], where);
    mark.pixel.y = numberOf(value.items()[1], where);
    mark.value = numberOf(value.items()[2], where);
    return mark;
}

CaptureCalibration calibrationOf(const JsonValue& value, const std::string& where)
{
    ofKind(value, JsonValue::Kind::Object, where);
    CaptureCalibration c;
    readPair(value, "origin", c.originX, c.originY, where);
    readPair(value, "span", c.spanWidth, c.spanHeight, where);
    readPair(value, "references", c.widthReference, c.heightReference, where);
    readPair(value, "originValues", c.originValueX, c.originValueY, where);
    c.displayScale = numberOf(memberOf(value, "displayScale", where), where + ".displayScale");
    // A scale is the displayed size over the picture's, never more than one and never zero.
    if (!(c.displayScale > 0.0 && c.displayScale <= 1.0))
        refuse(ProjectProblem::Damaged, where + ".displayScale");
    c.xScale = scaleOf(value, "xScale", where);
    c.yScale = scaleOf(value, "yScale", where);
    if (const JsonValue* marks = value.member("axisMarks")) {
        const std::string at = where + ".axisMarks";
        if (ofKind(*marks, JsonValue::Kind::Array, at).items().size() != 4)
            refuse(ProjectProblem::Damaged, at);
        const auto& m = marks->items();
        c.axisMarks = AxisMarks { markOf(m[0], at + "[0]"), markOf(m[1], at + "[1]"),
            markOf(m[2], at + "[2]"), markOf(m[3], at + "[3]") };
    }
    return c;
}

// The picture's path: a relative one may not climb out of the project's folder.
std::string pathOf(const JsonValue& picture)
{
    std::string path;
    if (const JsonValue* encoded = picture.member("pathBase64")) {
        std::optional<std::string> bytes
            = decodeBase64(ofKind(*encoded, JsonValue::Kind::String, "picture.pathBase64").text());
        if (!bytes)
            refuse(ProjectProblem::Damaged, "picture.pathBase64");
        path = std::move(*bytes);
    } else {
        path = ofKind(memberOf(picture, "path", "picture"), JsonValue::Kind::String, "picture.path").text();
    }
    if (path.empty() || path.size() > MAX_PROJECT_PATH || path.find('\0') != std::string::npos)
        refuse(ProjectProblem::Damaged, "picture.path");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        if (path.compare(start, slash - start, "..") == 0 && slash - start == 2)
            refuse(ProjectProblem::PathClimbsOut, path);
        start = slash + 1;
    }
    return path;
}

void readPicture(const JsonValue& root, ProjectData& data)
{
    const JsonValue& picture = ofKind(memberOf(root, "picture", ""), JsonValue::Kind::Object, "picture");
    data.picturePath = pathOf(picture);
    data.pictureSha256
        = ofKind(memberOf(picture, "sha256", "picture"), JsonValue::Kind::String, "picture.sha256").text();
    if (data.pictureSha256.size() != 64
        || data.pictureSha256.find_first_not_of("0123456789abcdef") != std::string::npos)
        refuse(ProjectProblem::Damaged, "picture.sha256");
    const long long width
        = wholeNumberOf(memberOf(picture, "width", "picture"), 1, 1ll << 40, "picture.width");
    const long long height
        = wholeNumberOf(memberOf(picture, "height", "picture"), 1, 1ll << 40, "picture.height");
    if (!imageSizeAcceptable(width, height))
        refuse(ProjectProblem::PictureTooLarge, std::to_string(width) + " x " + std::to_string(height));
    data.pictureWidth = static_cast<int>(width);
    data.pictureHeight = static_cast<int>(height);
    if (const JsonValue* embedded = picture.member("embedded")) {
        const std::string& text = ofKind(*embedded, JsonValue::Kind::String, "picture.embedded").text();
        if (text.size() / 4 * 3 > MAX_EMBEDDED_PICTURE_BYTES)
            refuse(ProjectProblem::PictureTooLarge, "picture.embedded");
        data.embeddedPicture = decodeBase64(text);
        if (!data.embeddedPicture)
            refuse(ProjectProblem::Damaged, "picture.embedded");
    }
}

Cell cellOf(const JsonValue& value, std::size_t calibrations, const std::string& where)
{
    switch (value.kind()) {
    case JsonValue::Kind::Null:
        return Cell();
    case JsonValue::Kind::String:
        return Cell::loaded(textOf(value, where));
    case JsonValue::Kind::Array:
        if (value.items().size() == 3) {
            const PixelPoint point { numberOf(value.items()[0], where), numberOf(value.items()[1], where) };
            const long long calibration = wholeNumberOf(
                value.items()[2], 0, static_cast<long long>(calibrations) - 1, where + " (its calibration)");
            return Cell::captured(point, static_cast<int>(calibration));
        }
        if (value.items().size() == 2)
            return Cell::loadedPair(textOf(value.items()[0], where), textOf(value.items()[1], where));
        break;
    default:
        break;
    }
    refuse(ProjectProblem::Damaged, where);
}

void readColumns(const JsonValue& root, ProjectData& data)
{
    const JsonValue& columns = ofKind(memberOf(root, "columns", ""), JsonValue::Kind::Array, "columns");
    if (columns.items().empty())
        refuse(ProjectProblem::Damaged, "columns");
    if (columns.items().size() > MAX_PROJECT_COLUMNS)
        refuse(ProjectProblem::TooManyColumns, std::to_string(columns.items().size()));
    std::size_t rows = 0;
    std::size_t cells = 0;
    for (std::size_t i = 0; i < columns.items().size(); ++i) {
        const std::string where = "columns[" + std::to_string(i) + "]";
        const JsonValue& column = ofKind(columns.items()[i], JsonValue::Kind::Object, where);
        const JsonValue& list
            = ofKind(memberOf(column, "cells", where), JsonValue::Kind::Array, where + ".cells");
        if (i == 0)
            rows = list.items().size();
        // Every column has a cell in every row, so that no reading guesses where a cell belongs.
        if (list.items().size() != rows)
            refuse(ProjectProblem::Damaged, where + ".cells");
        cells += rows;
        if (cells > MAX_PROJECT_CELLS)
            refuse(ProjectProblem::TooManyPoints, std::to_string(MAX_PROJECT_CELLS));
    }
    data.columns.reserve(columns.items().size());
    for (std::size_t i = 0; i < columns.items().size(); ++i) {
        const std::string where = "columns[" + std::to_string(i) + "]";
        const JsonValue& column = columns.items()[i];
        Series series;
        series.title = textOf(memberOf(column, "title", where), where + ".title");
        if (const JsonValue* name = column.member("name"))
            series.label = textOf(*name, where + ".name");
        const auto& list = column.member("cells")->items();
        series.cells.reserve(list.size());
        for (std::size_t row = 0; row < list.size(); ++row) {
            series.cells.push_back(
                cellOf(list[row], data.calibrations.size(), where + ".cells[" + std::to_string(row) + "]"));
        }
        data.columns.push_back(std::move(series));
    }
}

void readContent(const JsonValue& root, ProjectData& data)
{
    readPicture(root, data);
    data.calibration = calibrationOf(memberOf(root, "calibration", ""), "calibration");
    data.widthClicked = booleanOf(root, "widthClicked", "");
    data.heightClicked = booleanOf(root, "heightClicked", "");
    const JsonValue& calibrations
        = ofKind(memberOf(root, "calibrations", ""), JsonValue::Kind::Array, "calibrations");
    if (calibrations.items().size() > MAX_PROJECT_CALIBRATIONS)
        refuse(ProjectProblem::TooManyCalibrations, std::to_string(calibrations.items().size()));
    for (std::size_t i = 0; i < calibrations.items().size(); ++i)
        data.calibrations.push_back(
            calibrationOf(calibrations.items()[i], "calibrations[" + std::to_string(i) + "]"));
    const JsonValue& options = ofKind(memberOf(root, "options", ""), JsonValue::Kind::Object, "options");
    data.capturesXy = booleanOf(options, "captureXy", "options");
    data.markersShown = booleanOf(options, "markersShown", "options");
    data.catchingPoints = booleanOf(options, "catchingPoints", "options");
    readColumns(root, data);
    data.selectedColumn = static_cast<int>(wholeNumberOf(memberOf(root, "selectedColumn", ""), 0,
        static_cast<long long>(data.columns.size()) - 1, "selectedColumn"));
}

} // namespace

std::string writeProject(const ProjectData& data)
{
    return ProjectWriter().write(data);
}

ProjectReading readProject(std::string_view text)
{
    ProjectReading reading;
    if (text.size() > MAX_PROJECT_FILE_BYTES) {
        reading.problem = ProjectProblem::TooLarge;
        return reading;
    }
    JsonLimits limits;
    limits.maxDepth = MAX_JSON_DEPTH;
    limits.maxValues = MAX_JSON_VALUES;
    const JsonReading json = readJson(text, limits);
    if (!json.ok) {
        reading.problem
            = json.problem == "too many values" ? ProjectProblem::TooManyPoints : ProjectProblem::NotJson;
        reading.detail = json.problem + " (byte " + std::to_string(json.offset) + ")";
        return reading;
    }
    const JsonValue& root = json.value;
    const JsonValue* format = root.member("format");
    if (root.kind() != JsonValue::Kind::Object || !format || format->kind() != JsonValue::Kind::String
        || format->text() != PROJECT_FORMAT_NAME) {
        reading.problem = ProjectProblem::NotProject;
        return reading;
    }
    try {
        const long long version = wholeNumberOf(memberOf(root, "version", ""), 1, 1 << 30, "version");
        if (version > PROJECT_FORMAT_VERSION)
            refuse(ProjectProblem::NewerVersion, std::to_string(version));
        readContent(root, reading.data);
    } catch (const Refusal& refusal) {
        reading.problem = refusal.problem;
        reading.detail = refusal.detail;
        reading.data = ProjectData();
    }
    return reading;
}
