// The message requester over QMessageBox.
// Implements: messageRequester (information box; the desktop's OK button, or "Yes" / "No" /
// "Cancel"; the first button is the default, "No" the escape button of the three-button box).

#include "toolkit/requesters.h"

#include "toolkit/application.h"
#include "toolkit/platform/qt_text.h"
#include "toolkit/requester_script.h"

#include <QMessageBox>
#include <QPushButton>

#include <array>

int messageRequester(const char* title, const char* text, int flags)
{
    RequesterQuestion question;
    question.kind = RequesterKind::Message;
    question.title = title ? title : "";
    question.text = text ? text : "";
    question.flags = flags;
    if (auto answer = consultRequesterScript(question))
        return answer->code;

    ensurePlatform();
    QMessageBox box(QMessageBox::Information, qtText(title), qtText(title), QMessageBox::NoButton);
    box.setInformativeText(qtText(text));
    // The button texts are these English words whatever the interface language.
    std::array<QAbstractButton*, 3> buttons {};
    if (flags & (MESSAGE_YES_NO | MESSAGE_YES_NO_CANCEL)) {
        buttons[0] = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
        buttons[1] = box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
        if (!(flags & MESSAGE_YES_NO)) {
            buttons[2] = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
            box.setEscapeButton(buttons[1]);
        }
    } else {
        buttons[0] = box.addButton(QMessageBox::Ok);
    }
    if (auto* first = qobject_cast<QPushButton*>(buttons[0]))
        box.setDefaultButton(first);
    box.exec();

    const QAbstractButton* pressed = box.clickedButton();
    if (pressed && pressed == buttons[0])
        return MESSAGE_FIRST_BUTTON;
    if (pressed && pressed == buttons[1])
        return MESSAGE_SECOND_BUTTON;
    if (pressed && pressed == buttons[2])
        return MESSAGE_THIRD_BUTTON;
    return 0;
}
