#pragma once

#include <cstdint>
#include <string>

// The autosave: the work of the running program is kept on the disk as its session (the same
// text as a project), so that a crash, a kill, a power cut or a logout loses nothing. The event
// loop makes the text after a change and a thread of its own writes it; a change reaches the
// disk within a second, and the disk sees at most a few writes a second however fast the user
// works. A clean quit removes the session; the next start after anything else offers it back.

// Opens this program's session in the state folder. Without a usable folder the program runs
// without autosave (and says so on standard error).
void startAutosave();

// At start-up, after startAutosave: offers to restore each session a program that is gone left
// behind, newest first, naming its picture and its number of points. Yes restores it (the
// session becomes this program's); No keeps it aside, untouched, until this program quits
// cleanly. true when a session was restored (its picture is open).
[[nodiscard]] bool offerUnfinishedWork();

// Each pass of the event loop: hands the work to the writer when it changed and the last
// hand-over is long enough ago.
void autosaveStep();

// Writes the work now and waits for the disk; false (with the system's reason on standard error)
// when it could not be written.
[[nodiscard]] bool saveSessionNow();

// The work was saved whole into a project: the session goes until the next change.
void sessionWorkSaved();

// The desktop session ends. With leave to ask, the quit question decides as before; without it,
// unsaved work no longer keeps the desktop waiting once it is on the disk: the program agrees and
// keeps the session for the next start. Registered as the toolkit's session-end question.
int agreeToSessionEndKeepingWork(int mayAsk);

// The quit was confirmed; byDesktop when the session manager asked for it after the program
// agreed to end the desktop session.
void noteQuitConfirmed(bool byDesktop);

// The end of the program: a clean quit removes this program's session and the ones kept aside;
// the end of a desktop session agreed without asking keeps them for the next start.
void endAutosave();

// The work file of this program's session ("" without autosave), and how many texts were handed
// to the writer; for tests.
[[nodiscard]] std::string sessionWorkPath();
[[nodiscard]] std::uint64_t sessionWriteCount();

// The texts of the restore offer, in the interface language.
[[nodiscard]] std::string unfinishedWorkText(const std::string& pictureName, std::size_t points);
