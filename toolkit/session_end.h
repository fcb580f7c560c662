#pragma once

#include <functional>

// The end of the desktop session (logging out, shutting down). Before the session ends, the
// desktop's session manager asks every program whether it may; a program with unsaved work asks
// its user and may refuse, and the session then goes on. The toolkit answers from a question
// that the application registers (the same question as its own Quit command), so the answer is
// known before the session manager hears it. When the program agreed, the session manager asks
// it to quit next; that request comes as MENU_ITEM_QUIT for window 0 with the type
// QUIT_ALREADY_AGREED, so the application quits without asking a second time.

inline constexpr int QUIT_ALREADY_AGREED = 1;

// The application's question. mayAsk is non-zero when the session manager lets the program talk
// to the user; without that, the question must decide alone. It returns non-zero when the
// session may end. An empty function (the default) lets every session end.
void setSessionEndQuestion(std::function<int(int mayAsk)> question);

enum class SessionEndAnswer {
    GoAhead,
    Cancel,
};

// Asks the registered question. A yes is remembered for the quit request that follows; a no
// forgets an earlier yes.
SessionEndAnswer answerSessionEnd(bool mayAsk);

// Whether the program agreed to end the session and has not gone on since; it is forgotten by
// the call, so only the next quit request of the desktop is spared the question.
bool takeSessionEndAgreement();

// The user went on working (a key or button press after the answer): the session did not end
// after all, and a later quit request must ask again.
void forgetSessionEndAgreement();
