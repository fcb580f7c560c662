#pragma once

// The work as a project file: "Save Project", "Save Project As", "Save Project With Picture" and
// "Open Project", and the project the window's work was last written to or read from, which the
// window's title names.

// Writes the project where it was last saved or opened from; the first time asks like Save
// Project As. A project whose picture came out of its own bytes carries them again.
void saveProject();
// Asks where (proposing the diagram's name with .graphonite) and writes the project there; with
// the picture, its bytes go into the file so that it can be sent on its own.
void saveProjectAs(bool withPicture);
// Asks for a project file (after the unsaved-data question) and opens it.
void openProject();

// Opens the project file in place of the current work; false, after telling the user why, when
// it cannot be opened (the current work then stays untouched).
bool openProjectFile(const char* path);

// Whether the path names a project file (by its extension, whatever the case of its letters).
[[nodiscard]] bool isProjectFileName(const char* path);

// Opens what the path names: a project, or else a picture as the diagram.
[[nodiscard]] bool openProjectOrDiagramFile(const char* path);

// A picture opened anew: the work belongs to no project any more.
void forgetProject();

// The part of the window's title that names the project (" - name.graphonite"); empty without
// one.
[[nodiscard]] const char* projectTitlePart();
