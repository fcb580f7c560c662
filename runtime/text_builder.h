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
// real, or a callable that appends to the work area itself (a string function, for example).
// Nothing is allocated once the work area has grown, except when a variable's block must grow.

struct FixedReal {
    double value;
    int decimals;
};

// A whole-number piece: the value rounded halves to even (see roundToEven).
struct WholeReal {
    double value;
};

inline WholeReal whole(double value)
{
    return WholeReal { value };
}

// A real number piece with the given number of decimals (see realToText).
inline FixedReal fixed(double value, int decimals)
{
    return FixedReal { value, decimals };
}

inline void appendPiece(const char* text)
{
    appendToWorkArea(text);
}

inline void appendPiece(const String& text)
{
    appendToWorkArea(text.data());
}

template <std::integral Integer>
requires(!std::same_as<Integer, char> && !std::same_as<Integer, bool>) void appendPiece(Integer value)
{
    intToText(static_cast<std::int64_t>(value));
}

inline void appendPiece(WholeReal real)
{
    intToText(roundToEven(real.value));
}

inline void appendPiece(FixedReal real)
{
    realToText(real.value, real.decimals);
}

template <class Appender>
requires std::invocable<Appender&>
void appendPiece(Appender&& appender)
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
// space back when it ends. Its pointer stays valid until the work area grows, so hand it to a call
// that copies it before building anything else.
class WorkText {
public:
    template <class... Pieces> explicit WorkText(Pieces&&... pieces)
    {
        appendText(std::forward<Pieces>(pieces)...);
    }

    const char* c_str() const { return m_mark.text(); }
    operator const char*() const { return c_str(); }
    int length() const { return workAreaPosition() - m_mark.mark(); }

private:
    WorkAreaMark m_mark;
};
