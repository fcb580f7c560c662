#pragma once

#include "project_data.h"

#include <string>

// The running program's work as project data and back: what the project commands and the work
// text (work_text.h) build on.

// The work as it stands. projectPath is where the project will be written: the picture's path is
// stored relative to its folder when the picture lies in it or below, else absolute (so that a
// relative path never needs to climb out). With embedPicture the picture's bytes go along. false
// with a message (the user's language) when the picture cannot be read.
[[nodiscard]] bool gatherProjectData(
    const std::string& projectPath, bool embedPicture, ProjectData& data, std::string& error);

// Replaces the work by the project's: its picture in a new main window, the calibrations, the
// table, the markers and the options. The picture is looked for where the project names it, then
// beside the project file by its name, then in the project's own bytes, then by asking the user.
// false with a message, the current work untouched, when the picture cannot be found or opened.
// A picture whose bytes differ from those the project was saved with opens after a warning.
[[nodiscard]] bool restoreProjectData(
    const ProjectData& data, const std::string& projectPath, std::string& error);

// The message for a project text that cannot be read, in the user's language.
[[nodiscard]] std::string projectReadingError(const struct ProjectReading& reading);

// Whether the picture shown came out of a project's own bytes (it then has no place of its own,
// so a later save of the project carries the bytes again).
[[nodiscard]] bool pictureCameFromProject();

// Removes the private folder of pictures taken out of projects' own bytes, at the end of the
// program: nothing of it is left in the temporary folder.
void removeExtractedPictures();
