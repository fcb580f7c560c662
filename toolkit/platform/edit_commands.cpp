// Edit commands for the focused text field.
// Implements: focusedTextField (QLineEdit, QTextEdit, QPlainTextEdit, the line edit of an
// editable QComboBox), sendEditCommand (cut, copy, paste, undo, select all).

#include "toolkit/platform/edit_commands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// The three kinds share the five operations but no base class.
template <class Field> bool perform(Field& field, EditCommand command, bool editable)
{
    switch (command) {
    case EditCommand::Copy:
        field.copy();
        return true;
    case EditCommand::SelectAll:
        field.selectAll();
        return true;
    case EditCommand::Cut:
        if (editable)
            field.cut();
        return editable;
    case EditCommand::Paste:
        if (editable)
            field.paste();
        return editable;
    case EditCommand::Undo:
        if (editable)
            field.undo();
        return editable;
    }
    return false;
}

} // namespace

QWidget* focusedTextField(QWidget* window)
{
    if (!window)
        return nullptr;
    QWidget* focus = window->focusWidget();
    if (!focus)
        return nullptr;
    // An editable combo box keeps the focus itself and hands the keys to its line edit.
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        return combo->lineEdit();
    if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus)
        || qobject_cast<QPlainTextEdit*>(focus))
        return focus;
    return nullptr;
}

bool sendEditCommand(QWidget* window, EditCommand command)
{
    QWidget* field = focusedTextField(window);
    if (auto* line = qobject_cast<QLineEdit*>(field))
        return perform(*line, command, !line->isReadOnly());
    if (auto* text = qobject_cast<QTextEdit*>(field))
        return perform(*text, command, !text->isReadOnly());
    if (auto* plain = qobject_cast<QPlainTextEdit*>(field))
        return perform(*plain, command, !plain->isReadOnly());
    return false;
}
