#include "toolkit/session_end.h"

#include <utility>

namespace {

std::function<int(int)>& sessionEndQuestion()
{
    static std::function<int(int)> question;
    return question;
}

bool g_agreed = false;

} // namespace

void setSessionEndQuestion(std::function<int(int mayAsk)> question)
{
    sessionEndQuestion() = std::move(question);
    g_agreed = false;
}

SessionEndAnswer answerSessionEnd(bool mayAsk)
{
    // Copied: the question may register another one while it runs.
    const std::function<int(int)> question = sessionEndQuestion();
    g_agreed = !question || question(mayAsk ? 1 : 0) != 0;
    return g_agreed ? SessionEndAnswer::GoAhead : SessionEndAnswer::Cancel;
}

bool takeSessionEndAgreement()
{
    return std::exchange(g_agreed, false);
}

void forgetSessionEndAgreement()
{
    g_agreed = false;
}
