#include "message_dialog.h"

#include "app_state.h"
#include "data_table.h"
#include "translations.h"

#include "imaging/decoders/image_decoding.h"
#include "imaging/image.h"
#include "imaging/stored_picture.h"
#include "runtime/runtime_string.h"
#include "toolkit/current_event.h"
#include "toolkit/event_codes.h"
#include "toolkit/fonts.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/modal_wait.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int DIALOG_WIDTH = 400;
constexpr int DIALOG_FLAGS = WINDOW_TITLE_BAR | WINDOW_CENTERED | WINDOW_CENTERED_ON_PARENT;
constexpr int TITLE_FONT_SIZE = 14;

// Shortcut items of the dialog window.
constexpr int KEY_RETURN_ITEM = 1;
constexpr int KEY_ESCAPE_ITEM = 2;
constexpr int KEY_OK_ITEM = 3;
constexpr int KEY_YES_ITEM = 4;
constexpr int KEY_NO_ITEM = 5;
constexpr int KEY_CANCEL_ITEM = 6;
constexpr int RETURN_KEY = 13;
constexpr int ESCAPE_KEY = 27;

constexpr DialogWords WORDS[] = {
    { "Yes", "No", "Cancel", "OK", 'y', 'n', 'c', 'o' },
    { "Ja", "Nein", "Abbrechen", "OK", 'j', 'n', 'a', 'o' },
    { "Oui", "Non", "Annuler", "OK", 'o', 'n', 'a', 'o' },
    { "Si", "No", "Annullare", "OK", 's', 'n', 'a', 'o' },
};

// The objects of one open dialog, given back in this order: window (with its gadgets), font,
// symbol picture.
class DialogObjects {
public:
    DialogObjects() = default;
    DialogObjects(const DialogObjects&) = delete;
    DialogObjects& operator=(const DialogObjects&) = delete;
    ~DialogObjects()
    {
        if (window > 0 && isWindow(window))
            closeWindow(window);
        if (font > 0 && isFont(font))
            freeFont(font);
        if (icon > 0 && imageExists(icon))
            releaseImage(icon);
    }

    int window = 0;
    int font = 0;
    int icon = 0;
};

int makeButton(int x, int y, int width, const char* text, bool isDefault)
{
    return static_cast<int>(
        buttonGadget(DYNAMIC_NUMBER, x, y, width, 20, text, isDefault ? BUTTON_DEFAULT : 0));
}

} // namespace

DialogStyle dialogStyle(int style)
{
    DialogStyle s;
    switch (style) {
    case DIALOG_YES_NO:
        s.yes = s.no = true;
        s.yesLetter = true;
        s.returnAnswer = ANSWER_YES;
        s.escapeAnswer = ANSWER_NO;
        break;
    case DIALOG_CANCEL_YES_NO:
        s.cancel = s.yes = s.no = true;
        s.yesLetter = s.noLetter = s.cancelLetter = true;
        s.returnAnswer = ANSWER_YES;
        break;
    case DIALOG_CANCEL_YES:
        s.cancel = s.yes = true;
        s.yesLetter = s.cancelLetter = true;
        s.returnAnswer = ANSWER_YES;
        break;
    case DIALOG_CANCEL_NO:
        s.cancel = s.no = true;
        s.noLetter = s.cancelLetter = true;
        s.returnAnswer = ANSWER_NO;
        break;
    case DIALOG_CANCEL_OK:
        s.cancel = s.ok = true;
        s.okLetter = s.cancelLetter = true;
        break;
    case DIALOG_OK:
    default:
        s.ok = true;
        s.okLetter = true;
        break;
    }
    return s;
}

const DialogWords& dialogWords(int language)
{
    return WORDS[language >= 0 && language < static_cast<int>(std::size(WORDS)) ? language : 0];
}

int dialogHeight(int messageLength)
{
    return std::max(160, 60 + 20 * (messageLength / 25));
}

int messageDialog(const char* title, const char* message, int style, int icon)
{
    const DialogStyle s = dialogStyle(style);
    const DialogWords& words = dialogWords(language);
    const int messageLength = message ? static_cast<int>(std::strlen(message)) : 0;

    usePngDecoder();
    DialogObjects objects;
    objects.icon = static_cast<int>(decodeStoredPicture(DYNAMIC_NUMBER, static_cast<StoredPicture>(icon)));
    objects.window = static_cast<int>(
        openWindow(DYNAMIC_NUMBER, 0, 0, DIALOG_WIDTH, dialogHeight(messageLength), title, DIALOG_FLAGS));
    if (objects.window <= 0 || !isWindow(objects.window))
        return s.escapeAnswer;

    const int w = windowWidth(objects.window);
    const int h = windowHeight(objects.window);
    if (objects.icon > 0)
        imageGadget(DYNAMIC_NUMBER, 10, 10, 120, 90, imagePlatformHandle(objects.icon));
    const int titleLine = static_cast<int>(textGadget(DYNAMIC_NUMBER, 140, 10, 250, 20, title));
    objects.font = static_cast<int>(loadFont(DYNAMIC_NUMBER, "Arial", TITLE_FONT_SIZE, FONT_BOLD));
    if (objects.font > 0)
        setGadgetFont(titleLine, fontID(objects.font));
    textGadget(DYNAMIC_NUMBER, 140, 30, 250, 130, message);

    const int cancel = s.cancel ? makeButton(10, h - 30, 100, words.cancel, false) : 0;
    const int yes = s.yes ? makeButton(w - 140, h - 30, 60, words.yes, s.returnAnswer == ANSWER_YES) : 0;
    const int no = s.no ? makeButton(w - 70, h - 30, 60, words.no, s.returnAnswer == ANSWER_NO) : 0;
    const int ok = s.ok ? makeButton(w - 70, h - 30, 60, words.ok, s.returnAnswer == ANSWER_OK) : 0;

    if (s.okLetter)
        addKeyboardShortcut(objects.window, words.okLetter, KEY_OK_ITEM);
    if (s.yesLetter)
        addKeyboardShortcut(objects.window, words.yesLetter, KEY_YES_ITEM);
    if (s.noLetter)
        addKeyboardShortcut(objects.window, words.noLetter, KEY_NO_ITEM);
    if (s.cancelLetter)
        addKeyboardShortcut(objects.window, words.cancelLetter, KEY_CANCEL_ITEM);
    addKeyboardShortcut(objects.window, RETURN_KEY, KEY_RETURN_ITEM);
    addKeyboardShortcut(objects.window, ESCAPE_KEY, KEY_ESCAPE_ITEM);

    // Only the dialog answers: the main window takes no input meanwhile, and whatever else
    // arrives (its timer ticks among them) is dropped.
    const ModalWait modal(objects.window);
    int answer = DIALOG_PENDING;
    while (answer == DIALOG_PENDING && isWindow(objects.window)) {
        const int event = waitEvent(25);
        if (lastEventWindow() != objects.window)
            continue;
        if (event == EVENT_GADGET) {
            const int gadget = lastEventGadget();
            if (gadget == 0)
                continue;
            if (gadget == ok)
                answer = ANSWER_OK;
            else if (gadget == yes)
                answer = ANSWER_YES;
            else if (gadget == no)
                answer = ANSWER_NO;
            else if (gadget == cancel)
                answer = ANSWER_CANCEL;
        } else if (event == EVENT_MENU) {
            switch (lastEventMenuItem()) {
            case KEY_RETURN_ITEM:
                answer = s.returnAnswer;
                break;
            case KEY_ESCAPE_ITEM:
                answer = s.escapeAnswer;
                break;
            case KEY_OK_ITEM:
                answer = ANSWER_OK;
                break;
            case KEY_YES_ITEM:
                answer = ANSWER_YES;
                break;
            case KEY_NO_ITEM:
                answer = ANSWER_NO;
                break;
            case KEY_CANCEL_ITEM:
                answer = ANSWER_CANCEL;
                break;
            default:
                break;
            }
        }
    }
    return answer == DIALOG_PENDING ? s.escapeAnswer : answer;
}

int confirmQuit()
{
    if (!isDataModified())
        return 1;
    const int answer = messageDialog(translate("Quit"),
        translate("Your data was not saved. Do you want to Exit?"), DIALOG_YES_NO, ICON_QUESTION);
    return answer == ANSWER_YES ? 1 : 0;
}

int agreeToSessionEnd(int mayAsk)
{
    if (!isDataModified())
        return 1;
    return mayAsk ? confirmQuit() : 0;
}

int confirmDiscard(const char* title)
{
    if (!isDataModified())
        return 1;
    const int answer = messageDialog(
        title, translate("Your data was not saved. Do you want to continue?"), DIALOG_YES_NO, ICON_QUESTION);
    return answer == ANSWER_YES ? 1 : 0;
}
