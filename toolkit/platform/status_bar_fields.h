#pragma once

#include <QByteArray>

// What a status bar's fields hold, for the test driver: the number of fields, and a field's text
// (ISO 8859-1) and flags as statusBarText last set them. -1 / false for an unknown bar or field.
int statusBarFields(int bar);
bool statusBarField(int bar, int field, QByteArray& text, int& flags);
