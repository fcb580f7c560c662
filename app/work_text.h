#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The whole work of the running program as the text of a project file: the picture (its path and
// the SHA-256 of its bytes), every calibration, the references and axis settings, the columns with
// their titles, every point and the capture options. Saving a project, the autosaved session and
// the restore after a crash all go through these.

// The current work as project text. projectPath is where the text will be written (the picture's
// path is stored relative to it); an empty path stores the picture's absolute path.
[[nodiscard]] std::string currentWorkText(const std::string& projectPath);
// The same in two steps: a copy of the current work taken now, made into text when the function
// is called, on any thread (the autosave's writer). An empty function, with the reason in error
// (the user's language), when the work cannot be written as a project: its picture cannot be
// read, or the table is beyond a project's limit.
[[nodiscard]] std::function<std::string()> currentWorkTextMaker(
    const std::string& projectPath, std::string& error);

// What the restore offer names: the picture's file name and how many points the work holds.
struct WorkSummary {
    std::string pictureName;
    std::size_t pointCount = 0;
};
// Reads the summary of project text; false with a message (the user's language) when the text is
// not a project this program can open.
[[nodiscard]] bool summarizeWorkText(const std::string& text, WorkSummary& summary, std::string& error);

// Replaces the current work by the one in the text (opening its picture, read relative to
// projectPath); false with a message, the current work untouched, when the text or its picture
// cannot be opened.
[[nodiscard]] bool restoreWorkText(
    const std::string& text, const std::string& projectPath, std::string& error);

// A number that changes with every change of the work (data, calibration, options, picture); an
// autosave compares it with the number it last wrote.
[[nodiscard]] std::uint64_t workChangeCount();
