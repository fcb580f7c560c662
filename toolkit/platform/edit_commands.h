#pragma once

#include "toolkit/key_equivalent.h"

class QWidget;

// Sends an edit command to the text field that has the keyboard focus in the window: a
// QLineEdit (and every string gadget built on one, an editable combo box's included), QTextEdit
// or QPlainTextEdit. Returns true when the field took the command: copy and select all always,
// cut, paste and undo only when the field is editable. false without a focused text field.
bool sendEditCommand(QWidget* window, EditCommand command);

// The text field that has the keyboard focus in the window, or nullptr.
QWidget* focusedTextField(QWidget* window);
