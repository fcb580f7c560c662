#pragma once

// The program's own modal message dialog: a symbol on the left, a bold title line, the message
// and one to three buttons whose texts and letter keys follow the interface language. It waits
// for its answer in a loop of its own; meanwhile the main window takes no input.

// Dialog styles: which buttons are shown and what Return and Escape answer.
inline constexpr int DIALOG_OK = 0;
inline constexpr int DIALOG_YES_NO = 1;
inline constexpr int DIALOG_CANCEL_YES_NO = 2;
inline constexpr int DIALOG_CANCEL_YES = 10;
inline constexpr int DIALOG_CANCEL_NO = 11;
inline constexpr int DIALOG_CANCEL_OK = 12;

// Answers.
inline constexpr int ANSWER_OK = 0;
inline constexpr int ANSWER_CANCEL = 2;
inline constexpr int ANSWER_YES = 6;
inline constexpr int ANSWER_NO = 7;
inline constexpr int DIALOG_PENDING = 234567;

// Symbols (the stored dialog pictures).
inline constexpr int ICON_QUESTION = 0;
inline constexpr int ICON_PROHIBITION = 1;
inline constexpr int ICON_LIGHT_BULB = 2;
inline constexpr int ICON_INFORMATION = 3;
inline constexpr int ICON_PADLOCK = 4;

// What a style shows and answers.
struct DialogStyle {
    bool ok = false;
    bool yes = false;
    bool no = false;
    bool cancel = false;
    // Which letter keys answer (a style may show a button without its letter).
    bool okLetter = false;
    bool yesLetter = false;
    bool noLetter = false;
    bool cancelLetter = false;
    int returnAnswer = ANSWER_OK; // DIALOG_PENDING: Return does nothing
    int escapeAnswer = ANSWER_CANCEL;
};
DialogStyle dialogStyle(int style);

// Button captions and their letters in a language (0 English, 1 German, 2 French, 3 Italian;
// others English).
struct DialogWords {
    const char* yes;
    const char* no;
    const char* cancel;
    const char* ok;
    char yesLetter;
    char noLetter;
    char cancelLetter;
    char okLetter;
};
const DialogWords& dialogWords(int language);

// The window's content height for a message of that many bytes: one line of 20 pixels for every
// 25 bytes, at least 160.
int dialogHeight(int messageLength);

// Shows the dialog and returns the answer; the style's Escape answer when it cannot be shown.
int messageDialog(const char* title, const char* message, int style, int icon);

// 1 when the program may end: at once without unsaved captures, else when the user says Yes.
int confirmQuit();

// The answer to the desktop's question whether the session may end (logging out): 1 at once
// without unsaved data, else the Quit question when mayAsk allows asking; without leave to ask,
// 0, so that the session does not end over unsaved captures.
int agreeToSessionEnd(int mayAsk);

// 1 when the table may be replaced or emptied: at once without unsaved captures, else when the
// user says Yes to the question titled with the command.
int confirmDiscard(const char* title);
