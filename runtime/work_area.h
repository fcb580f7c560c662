#pragma once

// The string work area: one process-wide, growable scratch buffer in which every text is built.
//
// Protocol: remember mark = workAreaPosition(), append the pieces, then either store the text
// into a variable with storeFromWorkArea(variable, mark) or pass workAreaAddress-style pointers
// on and truncateWorkArea(mark) afterwards. The byte at the position is always NUL.
//
// Rules:
// - The buffer grows by at least 16384 bytes at a time and never shrinks, so building texts costs
//   no allocation once it has grown.
// - Growth always moves the buffer, and a pointer into it is then stale: functions that take texts
//   accept arguments that lie inside the work area and re-locate them after reserving. (Moving
//   every time makes a missed re-location fail in tests instead of working by luck.)
// - While a WorkAreaPin lives, the buffers that growth leaves behind are kept, with their texts,
//   until the last pin ends; WorkText uses this so that its pointer stays valid.
// - Single-threaded: only the application's thread touches it.
// - Every function initialises the work area on first use, so code that runs before
//   initWorkArea() (tests, tools) still works.

void initWorkArea();
void freeWorkArea();

// Makes sure n more bytes fit, sets the position to at + n and returns the address of offset at.
// Callers pass at = workAreaPosition().
char* reserveWorkArea(int n, int at);

// Copies the text (nullptr = empty) to the position and advances past it, NUL at the new end.
void appendToWorkArea(const char* text);
// Appends exactly n bytes (which may contain anything but are not expected to contain NUL).
void appendBytesToWorkArea(const char* bytes, int n);

// Steps past the NUL that ends the text just built, so that the next text starts after it: for
// calls that take several texts built one after the other.
void closeWorkAreaText();

// Gives back the last n bytes of a reservation.
void shrinkWorkArea(int n);
// Sets the position to offset and writes a NUL there.
void truncateWorkArea(int offset);

// 0 when the address lies outside [base, base + position]; otherwise address - base + 1.
int workAreaOffsetOf(const char* address);
// The address for an offset obtained from workAreaOffsetOf().
char* workAreaAddress(int offsetPlusOne);

int workAreaPosition();
int workAreaCapacity();
// The address of a position (base + position); valid until the next growth.
char* workAreaAt(int position);

// Remembers the position and restores it when it goes out of scope: for texts built only to be
// handed on to another call.
class WorkAreaMark {
public:
    WorkAreaMark();
    ~WorkAreaMark();
    WorkAreaMark(const WorkAreaMark&) = delete;
    WorkAreaMark& operator=(const WorkAreaMark&) = delete;

    int mark() const { return m_mark; }
    // The text built since the mark; valid until the work area grows or the mark ends.
    const char* text() const { return workAreaAt(m_mark); }

private:
    int m_mark;
};

// Keeps the buffers that growth leaves behind alive while it lives (see the rules above).
class WorkAreaPin {
public:
    WorkAreaPin();
    ~WorkAreaPin();
    WorkAreaPin(const WorkAreaPin&) = delete;
    WorkAreaPin& operator=(const WorkAreaPin&) = delete;
};
