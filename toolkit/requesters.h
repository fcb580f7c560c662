#pragma once

#include "runtime/runtime_string.h"

// Requesters: the toolkit's ready-made modal dialogs. Each is one blocking call; the
// application's own loop does not run while a requester is open. Every requester first asks
// the requester script (requester_script.h), through which tests answer without a person.
//
// Texts are ISO 8859-1 (nullptr is empty). File paths are the file system's own bytes, exactly
// as open() and fopen() take them, whatever characters the names hold; they are not limited to
// ISO 8859-1.

// messageRequester flags; without them the requester has the desktop's own OK button.
inline constexpr int MESSAGE_YES_NO = 1; // "Yes" and "No" (wins over MESSAGE_YES_NO_CANCEL)
inline constexpr int MESSAGE_YES_NO_CANCEL = 2; // "Yes", "No" and "Cancel"; Escape is "No"

// messageRequester results.
inline constexpr int MESSAGE_FIRST_BUTTON = 6; // OK, or "Yes"
inline constexpr int MESSAGE_SECOND_BUTTON = 7; // "No"
inline constexpr int MESSAGE_THIRD_BUTTON = 2; // "Cancel"

// openFileRequester flag: several files may be chosen at once (see nextSelectedFile).
inline constexpr int FILE_MULTIPLE = 1;

// A message box with the title as its window title and main message and the text below it. The
// first button is the default button (Return). Returns the result code of the button pressed;
// 0 when the desktop cannot show the box.
int messageRequester(const char* title, const char* text, int flags = 0);

// A window with the message, a field holding the default text and an "Ok" button (the default
// button). Returns the field's text when the button is pressed, the empty string when the
// window's close box is clicked (whatever the field holds) or the window cannot be opened.
// Events of other windows that arrive meanwhile are dropped.
String inputRequester(const char* title, const char* message, const char* defaultText);

// The desktop's file chooser. The pattern and its position are accepted and not used: every
// file can be chosen. When the default path names an existing file or folder, the chooser
// starts there. Returns the chosen path, or the empty string when cancelled; with FILE_MULTIPLE
// the first of the chosen files, the others come from nextSelectedFile in the order chosen.
String openFileRequester(
    const char* title, const char* defaultPath, const char* pattern, int patternPosition, int flags = 0);

// The desktop's chooser for a file to write; the file-name part of the default path (after its
// last "/") is proposed. Returns the chosen folder, "/" and the name, or the empty string.
String saveFileRequester(
    const char* title, const char* defaultPath, const char* pattern, int patternPosition);

// The next path of the last multiple choice of openFileRequester, or the empty string when there
// is none left. Every file requester empties the list when it starts.
String nextSelectedFile();

// The pattern the user chose: always 0, as the pattern is not used.
int selectedFilePattern();
