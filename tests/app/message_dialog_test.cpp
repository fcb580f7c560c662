#include "support/app_test_support.h"

#include "app/app_state.h"
#include "app/message_dialog.h"

#include "imaging/image.h"
#include "toolkit/fonts.h"
#include "toolkit/gadgets.h"
#include "toolkit/test_driver.h"
#include "toolkit/window.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

namespace {

TEST(DialogRules, HeightsGrowWithTheMessage)
{
    EXPECT_EQ(dialogHeight(24), 160);
    EXPECT_EQ(dialogHeight(125), 160);
    EXPECT_EQ(dialogHeight(150), 180);
    EXPECT_EQ(dialogHeight(250), 260);
}

TEST(DialogRules, StylesAnswers)
{
    struct Case {
        int style;
        int returnAnswer;
        int escapeAnswer;
        bool ok, yes, no, cancel;
    };
    const Case cases[] = {
        { DIALOG_OK, ANSWER_OK, ANSWER_CANCEL, true, false, false, false },
        { DIALOG_YES_NO, ANSWER_YES, ANSWER_NO, false, true, true, false },
        { DIALOG_CANCEL_YES_NO, ANSWER_YES, ANSWER_CANCEL, false, true, true, true },
        { DIALOG_CANCEL_YES, ANSWER_YES, ANSWER_CANCEL, false, true, false, true },
        { DIALOG_CANCEL_NO, ANSWER_NO, ANSWER_CANCEL, false, false, true, true },
        { DIALOG_CANCEL_OK, ANSWER_OK, ANSWER_CANCEL, true, false, false, true },
    };
    for (const Case& c : cases) {
        const DialogStyle s = dialogStyle(c.style);
        EXPECT_EQ(s.returnAnswer, c.returnAnswer) << c.style;
        EXPECT_EQ(s.escapeAnswer, c.escapeAnswer) << c.style;
        EXPECT_EQ(s.ok, c.ok) << c.style;
        EXPECT_EQ(s.yes, c.yes) << c.style;
        EXPECT_EQ(s.no, c.no) << c.style;
        EXPECT_EQ(s.cancel, c.cancel) << c.style;
    }
    EXPECT_FALSE(dialogStyle(DIALOG_YES_NO).noLetter) << "Yes/No answers only the Yes letter";
    EXPECT_EQ(dialogWords(1).cancelLetter, 'a');
    EXPECT_EQ(std::string(dialogWords(1).yes), "Ja");
    EXPECT_EQ(std::string(dialogWords(7).ok), "OK");
}

class MessageDialog : public AppTest {
protected:
    // The answer of a dialog to the keys typed in it, one per wait.
    int answerTo(int style, std::vector<int> keys, int lang = 0)
    {
        language = lang;
        for (int code : keys)
            answerNextDialogWithKey(code);
        return messageDialog("Title", "A message of some length.", style, 0);
    }
};

TEST_F(MessageDialog, LettersReturnAndEscape)
{
    EXPECT_EQ(answerTo(DIALOG_YES_NO, { 'n', 27 }), ANSWER_NO);
    EXPECT_EQ(answerTo(DIALOG_YES_NO, { 'y' }), ANSWER_YES);
    EXPECT_EQ(answerTo(DIALOG_YES_NO, { 13 }), ANSWER_YES);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_OK, { 13 }), ANSWER_OK);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_OK, { 27 }), ANSWER_CANCEL);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_NO, { 13 }), ANSWER_NO);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_YES_NO, { 'n' }), ANSWER_NO);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_YES_NO, { 'c' }), ANSWER_CANCEL);
    // German letters: j for Yes, a for Cancel; y means nothing.
    EXPECT_EQ(answerTo(DIALOG_CANCEL_YES, { 'y', 'j' }, 1), ANSWER_YES);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_YES, { 'a' }, 1), ANSWER_CANCEL);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_YES, { 'y', 27 }, 1), ANSWER_CANCEL);
    EXPECT_EQ(answerTo(DIALOG_CANCEL_YES_NO, { 'c', 'n' }, 1), ANSWER_NO);
    language = 0;
}

TEST_F(MessageDialog, LayoutButtonsAndCleanUp)
{
    int window = -1;
    std::vector<std::string> seen;
    actInNextDialog([&](int dialog) {
        window = dialog;
        seen.push_back(std::to_string(windowWidth(dialog)) + "x" + std::to_string(windowHeight(dialog)));
        seen.push_back(shownWindowTitle(dialog).c_str());
        seen.push_back(std::to_string(windowHasCloseBox(dialog)));
        pressKey(dialog, 27);
    });
    const std::string message(150, 'm');
    EXPECT_EQ(messageDialog("Quit", message.c_str(), DIALOG_YES_NO, 0), ANSWER_NO);
    EXPECT_EQ(seen, (std::vector<std::string> { "400x180", "Quit", "0" }));
    EXPECT_FALSE(isWindow(window)) << "the dialog closes";

    // The default button looks default and its click answers.
    actInNextDialog([](int) {
        for (int gadget = 0x40000000; gadget < 0x40010000; ++gadget) {
            if (isGadget(gadget) && isDefaultButton(gadget)) {
                EXPECT_EQ(std::string(getGadgetText(gadget).c_str()), "OK");
                clickGadget(gadget);
                return;
            }
        }
        ADD_FAILURE() << "no default button";
    });
    EXPECT_EQ(messageDialog("Info", "Text", DIALOG_CANCEL_OK, 3), ANSWER_OK);
}

// The dialog's buttons as "text@x", left to right.
std::vector<std::string> dialogButtons()
{
    std::vector<std::pair<int, std::string>> found;
    for (int gadget = 0x40000000; gadget < 0x40010000; ++gadget) {
        if (!isGadget(gadget))
            continue;
        const std::string text = getGadgetText(gadget).c_str();
        if (text == "OK" || text == "Yes" || text == "No" || text == "Cancel")
            found.emplace_back(gadgetX(gadget), text);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> buttons;
    for (const auto& [x, text] : found)
        buttons.push_back(text + "@" + std::to_string(x));
    return buttons;
}

int dialogButton(const char* text)
{
    for (int gadget = 0x40000000; gadget < 0x40010000; ++gadget) {
        if (isGadget(gadget) && std::string(getGadgetText(gadget).c_str()) == text)
            return gadget;
    }
    return 0;
}

// Cancel stands apart on the left, the answers that go on side by side on the right; no two
// buttons share a place, and a click on each gives its own answer.
TEST_F(MessageDialog, EachButtonHasItsOwnPlaceAndAnswer)
{
    const struct {
        int style;
        std::vector<std::string> buttons;
    } cases[] = {
        { DIALOG_OK, { "OK@330" } },
        { DIALOG_YES_NO, { "Yes@260", "No@330" } },
        { DIALOG_CANCEL_YES_NO, { "Cancel@10", "Yes@260", "No@330" } },
        { DIALOG_CANCEL_YES, { "Cancel@10", "Yes@260" } },
        { DIALOG_CANCEL_NO, { "Cancel@10", "No@330" } },
        { DIALOG_CANCEL_OK, { "Cancel@10", "OK@330" } },
    };
    const std::map<std::string, int> answers
        = { { "OK", ANSWER_OK }, { "Yes", ANSWER_YES }, { "No", ANSWER_NO }, { "Cancel", ANSWER_CANCEL } };
    for (const auto& c : cases) {
        for (const std::string& button : c.buttons) {
            const std::string text = button.substr(0, button.find('@'));
            std::vector<std::string> shown;
            actInNextDialog([&](int) {
                shown = dialogButtons();
                EXPECT_EQ(clickGadget(dialogButton(text.c_str())), 1) << text;
            });
            EXPECT_EQ(messageDialog("Title", "Text", c.style, 0), answers.at(text)) << c.style << " " << text;
            EXPECT_EQ(shown, c.buttons) << c.style;
        }
    }
}

} // namespace
