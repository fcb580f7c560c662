#pragma once

#include <QPoint>

#include <functional>

// Where the toolkit reads the mouse position on the desktop, in device-independent pixels. The
// desktop's pointer (QCursor::pos) unless a test put another source in place: the offscreen
// platform that the tests run on has no pointer that they could move.
QPoint globalMousePosition();

// true while a test's source is in place.
bool mouseSourceInstalled();

// An empty function restores the desktop's pointer.
void setMouseSource(std::function<QPoint()> source);
