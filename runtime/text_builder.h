#pragma once

#include "number_text.h"
#include "runtime_string.h"
#include "work_area.h"

#include <concepts>
#include <cstdint>
#include <type_traits>
#include <utility>

// Building texts from pieces in the work area, so that application code reads like ordinary C++:
//
//     storeText(statusText, translate("Column "), columnNumber);     // into a variable
//     WorkText title("Graphonite - ", fileName);                     // scratch, for one call
//     setWindowTitle(WINDOW_MAIN, title);
//
// A piece is a text (const char* or String; nullptr is empty), an integer (decimal), a fixed()
// or whole() real, or a callable that appends to the work area itself (a string function, for
// example).
// Nothing is allocated once the work area has grown, except when a variable's block must grow.

struct FixedReal {
    double value;
    int decimals;
};

// A real number piece with the given number of decimals (see realToText).
inline FixedReal fixed(double value, int decimals)
{
    return FixedReal { value, decimals };
}

struct WholeNumber {
    double value;
};

// A real number piece shown as a whole number, halves to the even neighbour (see roundToEven).
inline WholeNumber whole(double value)
{
    return WholeNumber { value };
}

inline void appendPiece(const char* text)
{
    appendToWorkArea(text);
}

inline void appendPiece(const String& text)
{
    appendToWorkArea(text.data());
}

// Integers are pieces, but a char or a bool is more likely a mistake than a number.
template <class T>
concept IntegerPiece = std::integral<T> && !std::same_as<T, char> && !std::same_as<T, bool>;

// A callable that appends to the work area itself.
template <class T>
concept AppenderPiece = std::invocable<T&>;

template <IntegerPiece Integer> void appendPiece(Integer value)
{
    intToText(static_cast<std::int64_t>(value));
}

inline void appendPiece(FixedReal real)
{
    realToText(real.value, real.decimals);
}

inline void appendPiece(WholeNumber number)
{
    intToText(roundToEven(number.value));
}

template <AppenderPiece Appender> void appendPiece(Appender&& appender)
{
    appender();
}

// Appends every piece in order at the work area position.
template <class... Pieces> void appendText(Pieces&&... pieces)
{
    (appendPiece(std::forward<Pieces>(pieces)), ...);
}

// Builds the pieces and stores the text into the variable (reusing its block).
template <class... Pieces> void storeText(String& variable, Pieces&&... pieces)
{
    int mark = workAreaPosition();
    appendText(std::forward<Pieces>(pieces)...);
    storeFromWorkArea(variable, mark);
}

// Builds the pieces into a new string.
template <class... Pieces> String makeText(Pieces&&... pieces)
{
    String result;
    storeText(result, std::forward<Pieces>(pieces)...);
    return result;
}

// A text built in the work area for the length of one statement or scope; the work area gives the
// space back when it ends. Several may live at once, as when one call takes several texts: each
// ends with its own NUL, and its pointer stays valid while it lives, even when a later text makes
// the work area grow. They must end in the reverse order of their making, as temporaries and
// locals do.
class WorkText {
public:
    template <class... Pieces> explicit WorkText(Pieces&&... pieces)
    {
        appendText(std::forward<Pieces>(pieces)...);
        m_length = workAreaPosition() - m_mark.mark();
        closeWorkAreaText();
    }

    const char* c_str() const { return m_mark.text(); }
    operator const char*() const { return c_str(); }
    int length() const { return m_length; }

private:
    // Made first and ended last: the mark gives the space back before the pin lets old buffers go.
    WorkAreaPin m_pin;
    WorkAreaMark m_mark;
    int m_length = 0;
};
