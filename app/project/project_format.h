#pragma once

#include "project_data.h"

#include "app/csv_table.h"

#include <cstddef>
#include <string>
#include <string_view>

// The project file: JSON in UTF-8 with a format name and version (described in
// doc/project-format.md). Reading is strict and bounded: a file that is not exactly a project of
// a version this program knows, or that exceeds a limit below, is refused whole, so that nothing
// of it reaches the running work.

inline constexpr const char* PROJECT_FORMAT_NAME = "graphonite-project";
inline constexpr int PROJECT_FORMAT_VERSION = 1;
inline constexpr const char* PROJECT_EXTENSION = ".graphonite";

// A project file larger than this is refused before it is read (an embedded picture included).
inline constexpr std::size_t MAX_PROJECT_FILE_BYTES = std::size_t { 256 } << 20;
// An embedded picture larger than this is refused.
inline constexpr std::size_t MAX_EMBEDDED_PICTURE_BYTES = std::size_t { 160 } << 20;
// Columns, as a CSV table may hold.
inline constexpr std::size_t MAX_PROJECT_COLUMNS = 64;
// Cells of all columns together (rows x columns), empty ones included: as many as a CSV table may
// bring, so that any table the program holds from a file can be kept in a project.
inline constexpr std::size_t MAX_PROJECT_CELLS = MAX_CSV_CELLS;
// Calibrations the points may have been taken under.
inline constexpr std::size_t MAX_PROJECT_CALIBRATIONS = 10'000;
// Characters of a title, a column name or a loaded cell.
inline constexpr std::size_t MAX_PROJECT_TEXT = 10'000;
// Characters of the picture's path.
inline constexpr std::size_t MAX_PROJECT_PATH = 4096;

enum class ProjectProblem {
    None,
    TooLarge, // more bytes than MAX_PROJECT_FILE_BYTES
    NotJson, // broken or cut-off text
    NotProject, // JSON, but no project
    NewerVersion, // a project of a later version of the program
    Damaged, // a member missing, of the wrong kind or out of range (detail names it)
    PathClimbsOut, // the picture's path leaves the project's folder
    PictureTooLarge, // a picture size beyond what the program opens
    TooManyColumns,
    TooManyPoints,
    TooManyCalibrations,
    TextTooLong,
    NotLatin1, // a text with a character the program cannot show
};

struct ProjectReading {
    ProjectProblem problem = ProjectProblem::None;
    // Where the problem lies: a member's path ("columns[2].cells[7]") or a byte offset.
    std::string detail;
    ProjectData data;
};

[[nodiscard]] std::string writeProject(const ProjectData& data);
[[nodiscard]] ProjectReading readProject(std::string_view text);
