// The input requester, built from the toolkit's own window and gadgets.

#include "toolkit/current_event.h"
#include "toolkit/event_codes.h"
#include "toolkit/gadget_list.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/modal_wait.h"
#include "toolkit/requester_script.h"
#include "toolkit/requesters.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

namespace {

constexpr int WINDOW_WIDTH = 370;
constexpr int WINDOW_HEIGHT = 120;
// The message gets this much height before the window grows for it.
constexpr int MESSAGE_HEIGHT = 30;
// The item that the window's Escape shortcut reports; only this window's events are looked at.
constexpr int ESCAPE_ITEM = 1;
constexpr int ESCAPE_KEY = 27;

// Runs the requester's window until the button or the close box ends it.
String runInputWindow(int window, int field, int button)
{
    ModalWait modal(window);
    setActiveGadget(field);
    while (isWindow(window)) {
        const int code = waitEventForever();
        // Events of other windows are taken from the queue and dropped.
        if (lastEventWindow() != window)
            continue;
        if (code == EVENT_GADGET && lastEventGadget() == button)
            return getGadgetText(field);
        // Escape leaves as the close box does: the caller keeps what it had.
        if (code == EVENT_CLOSE_WINDOW || (code == EVENT_MENU && lastEventMenuItem() == ESCAPE_ITEM))
            break;
    }
    return String();
}

} // namespace

String inputRequester(const char* title, const char* message, const char* defaultText)
{
    RequesterQuestion question;
    question.kind = RequesterKind::Input;
    question.title = title ? title : "";
    question.text = message ? message : "";
    question.defaultText = defaultText ? defaultText : "";
    if (auto answer = consultRequesterScript(question))
        return String(answer->text.c_str());

    // The requester's window becomes the current gadget list for its own gadgets; the caller's
    // gadget list is current again afterwards.
    const int caller = currentGadgetListWindow();
    const int window = static_cast<int>(openWindow(
        DYNAMIC_NUMBER, 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, title, WINDOW_CLOSE_BOX | WINDOW_CENTERED));
    if (!window) {
        if (caller != -1)
            makeGadgetListCurrent(caller);
        return String();
    }
    const int text = static_cast<int>(textGadget(DYNAMIC_NUMBER, 10, 10, 350, MESSAGE_HEIGHT, message));
    const int field = static_cast<int>(stringGadget(DYNAMIC_NUMBER, 10, 50, 350, 20, defaultText));
    const int button = static_cast<int>(buttonGadget(DYNAMIC_NUMBER, 135, 85, 100, 25, "Ok", BUTTON_DEFAULT));

    // A long message gets the height it needs, and the window grows by as much.
    const int height = gadgetPreferredHeight(text);
    if (height > MESSAGE_HEIGHT) {
        resizeWindow(window, IGNORE_VALUE, IGNORE_VALUE, IGNORE_VALUE, height + 90);
        resizeGadget(text, 10, 10, 350, height);
        resizeGadget(field, IGNORE_VALUE, height + 20, IGNORE_VALUE, IGNORE_VALUE);
        resizeGadget(button, IGNORE_VALUE, height + 55, IGNORE_VALUE, IGNORE_VALUE);
    }
    stickyWindow(window, 1);
    addKeyboardShortcut(window, ESCAPE_KEY, ESCAPE_ITEM);

    String result = runInputWindow(window, field, button);
    closeWindow(window);
    if (caller != -1)
        makeGadgetListCurrent(caller);
    return result;
}
