#include "app/project/project_format.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

CaptureCalibration cornerCalibration()
{
    CaptureCalibration c;
    c.originX = 40.5;
    c.originY = 300.25;
    c.spanWidth = 400.0 / 3.0;
    c.spanHeight = 250.0;
    c.widthReference = 10.0;
    c.heightReference = 1000.0;
    c.displayScale = 0.5;
    c.originValueX = -5.0;
    c.originValueY = 1.0;
    c.yScale = AxisScale::Logarithmic;
    return c;
}

CaptureCalibration markCalibration()
{
    CaptureCalibration c = cornerCalibration();
    c.xScale = AxisScale::Logarithmic;
    c.axisMarks = AxisMarks { { { 10.0, 200.0 }, 1.0 }, { { 300.0, 201.5 }, 100.0 }, { { 12.0, 190.0 }, 0.0 },
        { { 13.0, 20.0 }, 5.5 } };
    return c;
}

// Two columns of every kind of cell, two calibrations, each option away from its default.
ProjectData sampleProject()
{
    ProjectData data;
    data.picturePath = "charts/bar chart.png";
    data.pictureSha256 = std::string(64, 'a');
    data.pictureWidth = 960;
    data.pictureHeight = 720;
    data.calibration = markCalibration();
    data.widthClicked = true;
    data.calibrations = { cornerCalibration(), markCalibration() };
    data.columns.push_back(Series { "Pressure \xe4\xf6\xfc", std::string("Druck"),
        { Cell::captured({ 12.5, 99.125 }, 0), Cell::captured({ 0.1, 1e-9 }, 1), Cell() } });
    data.columns.push_back(Series { "2", std::nullopt,
        { Cell::loaded("3.5"), Cell::loadedPair("1", "2"), Cell::loaded("line\nbreak \"quoted\"") } });
    data.capturesXy = true;
    data.markersShown = false;
    data.catchingPoints = true;
    data.selectedColumn = 1;
    return data;
}

void expectSameCalibration(const CaptureCalibration& a, const CaptureCalibration& b)
{
    EXPECT_TRUE(a == b);
}

TEST(ProjectFormat, EverythingSurvivesTheRoundTrip)
{
    ProjectData data = sampleProject();
    for (bool embedded : { false, true }) {
        if (embedded)
            data.embeddedPicture = std::string("\x89PNG\r\n\x1a\n\0\xff", 10);
        const ProjectReading reading = readProject(writeProject(data));
        ASSERT_EQ(reading.problem, ProjectProblem::None) << reading.detail;
        const ProjectData& back = reading.data;
        EXPECT_EQ(back.picturePath, data.picturePath);
        EXPECT_EQ(back.pictureSha256, data.pictureSha256);
        EXPECT_EQ(back.pictureWidth, 960);
        EXPECT_EQ(back.pictureHeight, 720);
        EXPECT_EQ(back.embeddedPicture, data.embeddedPicture);
        expectSameCalibration(back.calibration, data.calibration);
        EXPECT_TRUE(back.widthClicked);
        EXPECT_FALSE(back.heightClicked);
        ASSERT_EQ(back.calibrations.size(), 2u);
        expectSameCalibration(back.calibrations[0], data.calibrations[0]);
        expectSameCalibration(back.calibrations[1], data.calibrations[1]);
        ASSERT_EQ(back.columns.size(), 2u);
        EXPECT_TRUE(back.columns[0] == data.columns[0]);
        EXPECT_TRUE(back.columns[1] == data.columns[1]);
        EXPECT_TRUE(back.capturesXy);
        EXPECT_FALSE(back.markersShown);
        EXPECT_TRUE(back.catchingPoints);
        EXPECT_EQ(back.selectedColumn, 1);
        EXPECT_EQ(back.pointCount(), 2u);
    }
}

// File names are bytes: one that is not UTF-8 comes back byte for byte.
TEST(ProjectFormat, APathThatIsNotUtf8SurvivesTheRoundTrip)
{
    ProjectData data = sampleProject();
    data.picturePath = "Diagramm \xe4.png";
    const ProjectReading reading = readProject(writeProject(data));
    ASSERT_EQ(reading.problem, ProjectProblem::None) << reading.detail;
    EXPECT_EQ(reading.data.picturePath, data.picturePath);
}

TEST(ProjectFormat, TheTextIsJsonWithFormatAndVersion)
{
    const std::string text = writeProject(sampleProject());
    EXPECT_EQ(text.find("{\n  \"format\": \"graphonite-project\",\n  \"version\": 1,"), 0u);
    EXPECT_NE(text.find("\"colour\": \"#"), std::string::npos);
    // Latin-1 titles are written as UTF-8.
    EXPECT_NE(text.find("Pressure \xc3\xa4\xc3\xb6\xc3\xbc"), std::string::npos);
}

// Replaces the first occurrence of `from` in the sample's text.
std::string sampleWith(const std::string& from, const std::string& to)
{
    std::string text = writeProject(sampleProject());
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string columnsOfRows(std::size_t columns, std::size_t rows)
{
    std::string cells = "[";
    for (std::size_t row = 0; row < rows; ++row)
        cells += row == 0 ? "null" : ",null";
    cells += "]";
    std::string text = "\"columns\": [";
    for (std::size_t column = 0; column < columns; ++column)
        text += (column == 0 ? "" : ",") + std::string("{\"title\": \"t\", \"cells\": ") + cells + "}";
    return text + "]";
}

std::string sampleWithColumns(const std::string& columns)
{
    std::string text = writeProject(sampleProject());
    const std::size_t at = text.find("\"columns\": [");
    return text.substr(0, at) + columns + "\n}\n";
}

TEST(ProjectFormat, EveryRefusal)
{
    const std::string good = writeProject(sampleProject());
    const struct {
        const char* name;
        std::string text;
        ProjectProblem problem;
    } cases[] = {
        { "empty", "", ProjectProblem::NotJson },
        { "cut off", good.substr(0, good.size() / 2), ProjectProblem::NotJson },
        { "a CSV file", "x,y\n1,2\n", ProjectProblem::NotJson },
        { "other JSON", "{\"format\": \"something else\"}", ProjectProblem::NotProject },
        { "an array", "[1, 2]", ProjectProblem::NotProject },
        { "a later version", sampleWith("\"version\": 1", "\"version\": 2"), ProjectProblem::NewerVersion },
        { "version not whole", sampleWith("\"version\": 1", "\"version\": 1.5"), ProjectProblem::Damaged },
        { "no picture", sampleWith("\"picture\"", "\"pictur\""), ProjectProblem::Damaged },
        { "a short digest", sampleWith(std::string(64, 'a'), "abc"), ProjectProblem::Damaged },
        { "a digest in capitals", sampleWith(std::string(64, 'a'), std::string(64, 'A')),
            ProjectProblem::Damaged },
        { "a path that climbs out", sampleWith("charts/bar chart.png", "../../etc/passwd"),
            ProjectProblem::PathClimbsOut },
        { "a path that climbs out in the middle", sampleWith("charts/bar chart.png", "charts/../../x.png"),
            ProjectProblem::PathClimbsOut },
        { "an empty path", sampleWith("charts/bar chart.png", ""), ProjectProblem::Damaged },
        { "a NUL in the path", sampleWith("charts/bar chart.png", "a\\u0000b.png"), ProjectProblem::Damaged },
        { "a picture too wide", sampleWith("\"width\": 960", "\"width\": 40000"),
            ProjectProblem::PictureTooLarge },
        { "a picture of too many pixels",
            sampleWith("\"width\": 960, \"height\": 720", "\"width\": 30000, \"height\": 30000"),
            ProjectProblem::PictureTooLarge },
        { "a picture of no width", sampleWith("\"width\": 960", "\"width\": 0"), ProjectProblem::Damaged },
        { "broken embedded bytes", sampleWith("\"height\": 720", "\"height\": 720, \"embedded\": \"**\""),
            ProjectProblem::Damaged },
        { "a calibration index beyond the list", sampleWith("12.5, 99.125, 0]", "12.5, 99.125, 2]"),
            ProjectProblem::Damaged },
        { "a negative calibration index", sampleWith("12.5, 99.125, 0]", "12.5, 99.125, -1]"),
            ProjectProblem::Damaged },
        { "a coordinate as text", sampleWith("12.5, 99.125", "\"12.5\", 99.125"), ProjectProblem::Damaged },
        { "an unknown axis kind", sampleWith("\"linear\"", "\"quadratic\""), ProjectProblem::Damaged },
        { "a display scale of zero", sampleWith("\"displayScale\": 0.5", "\"displayScale\": 0"),
            ProjectProblem::Damaged },
        { "three axis marks", sampleWith("\"axisMarks\": [[10, 200, 1], ", "\"axisMarks\": ["),
            ProjectProblem::Damaged },
        { "a selected column beyond the columns",
            sampleWith("\"selectedColumn\": 1", "\"selectedColumn\": 2"), ProjectProblem::Damaged },
        { "a missing option", sampleWith("\"captureXy\": true, ", ""), ProjectProblem::Damaged },
        { "a title beyond Latin-1", sampleWith("\"title\": \"2\"", "\"title\": \"\\u20ac\""),
            ProjectProblem::NotLatin1 },
        { "a title too long",
            sampleWith("\"title\": \"2\"", "\"title\": \"" + std::string(10001, 'x') + "\""),
            ProjectProblem::TextTooLong },
        { "no columns", sampleWithColumns("\"columns\": []"), ProjectProblem::Damaged },
        { "columns of different lengths",
            sampleWithColumns(
                "\"columns\": [{\"title\": \"a\", \"cells\": [null]}, {\"title\": \"b\", \"cells\": []}]"),
            ProjectProblem::Damaged },
        { "too many columns", sampleWithColumns(columnsOfRows(65, 1)), ProjectProblem::TooManyColumns },
        { "too many cells", sampleWithColumns(columnsOfRows(2, MAX_PROJECT_CELLS / 2 + 1)),
            ProjectProblem::TooManyPoints },
        { "one past a million points", sampleWithColumns(columnsOfRows(1, 1'000'001)),
            ProjectProblem::TooManyPoints },
        { "a cell of four numbers", sampleWith("12.5, 99.125, 0]", "12.5, 99.125, 0, 1]"),
            ProjectProblem::Damaged },
        { "a cell that is an object", sampleWith("\"3.5\"", "{}"), ProjectProblem::Damaged },
        { "a duplicate name", sampleWith("\"version\": 1,", "\"version\": 1, \"version\": 1,"),
            ProjectProblem::NotJson },
        { "nested too deeply", sampleWith("\"3.5\"", std::string(20, '[') + std::string(20, ']')),
            ProjectProblem::NotJson },
    };
    for (const auto& c : cases) {
        const ProjectReading reading = readProject(c.text);
        EXPECT_EQ(reading.problem, c.problem) << c.name << ": " << reading.detail;
        EXPECT_TRUE(reading.data.columns.empty()) << c.name;
    }
    // The size is checked before anything is read.
    EXPECT_EQ(readProject(std::string_view(good.data(), MAX_PROJECT_FILE_BYTES + 1)).problem,
        ProjectProblem::TooLarge);
}

TEST(ProjectFormat, ARefusalNamesWhereItLies)
{
    const ProjectReading reading = readProject(sampleWith("12.5, 99.125, 0]", "12.5, 99.125, 7]"));
    EXPECT_EQ(reading.detail, "columns[0].cells[0] (its calibration)");
}

} // namespace

namespace {

// The fuzz target starts from these files; they stay projects the reader accepts.
TEST(ProjectFormat, TheFuzzSeedsAreProjects)
{
    for (const char* name : { "two_columns.graphonite", "embedded.graphonite" }) {
        std::ifstream in(
            std::string(GRAPHONITE_SOURCE_DIR) + "/tests/app/project_seeds/" + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        ASSERT_FALSE(text.str().empty()) << name;
        const ProjectReading reading = readProject(text.str());
        EXPECT_EQ(reading.problem, ProjectProblem::None) << name << ": " << reading.detail;
    }
}

} // namespace
