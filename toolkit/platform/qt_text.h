#pragma once

#include <QByteArray>
#include <QString>

// Text crosses between the toolkit and Qt here and nowhere else. Inside the system every text is
// ISO 8859-1: each byte is the character of the same code point.

// The Qt text of a Latin-1 text; nullptr is the empty text.
QString qtText(const char* text);

// The Latin-1 bytes of a Qt text; a character that ISO 8859-1 cannot hold becomes '?'.
QByteArray latin1Text(const QString& text);
