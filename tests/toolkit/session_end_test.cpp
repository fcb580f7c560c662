#include "toolkit/session_end.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SessionEndCase {
    const char* name;
    bool registered;
    int reply; // what the application's question answers
    bool mayAsk;
    SessionEndAnswer answer;
};

// The session ends only when the application agrees; what the session manager allows is passed
// on, so that the application can refuse when it cannot ask.
TEST(SessionEnd, TheApplicationsQuestionDecides)
{
    const SessionEndCase cases[] = {
        { "nothing registered", false, 0, true, SessionEndAnswer::GoAhead },
        { "yes", true, 1, true, SessionEndAnswer::GoAhead },
        { "no", true, 0, true, SessionEndAnswer::Cancel },
        { "no without asking", true, 0, false, SessionEndAnswer::Cancel },
        { "any non-zero is yes", true, -7, false, SessionEndAnswer::GoAhead },
    };
    for (const SessionEndCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> asked;
        if (c.registered) {
            setSessionEndQuestion([&asked, reply = c.reply](int mayAsk) {
                asked.push_back(mayAsk);
                return reply;
            });
        } else {
            setSessionEndQuestion({});
        }
        EXPECT_EQ(answerSessionEnd(c.mayAsk), c.answer);
        if (c.registered) {
            EXPECT_EQ(asked, std::vector<int>({ c.mayAsk ? 1 : 0 }));
        }
        // The agreement is there for the next quit request only.
        EXPECT_EQ(takeSessionEndAgreement(), c.answer == SessionEndAnswer::GoAhead);
        EXPECT_FALSE(takeSessionEndAgreement());
    }
    setSessionEndQuestion({});
}

TEST(SessionEnd, AnAgreementIsForgottenByANoAndByGoingOn)
{
    int reply = 1;
    setSessionEndQuestion([&reply](int) { return reply; });
    EXPECT_EQ(answerSessionEnd(true), SessionEndAnswer::GoAhead);
    reply = 0;
    EXPECT_EQ(answerSessionEnd(true), SessionEndAnswer::Cancel);
    EXPECT_FALSE(takeSessionEndAgreement());

    reply = 1;
    EXPECT_EQ(answerSessionEnd(true), SessionEndAnswer::GoAhead);
    forgetSessionEndAgreement();
    EXPECT_FALSE(takeSessionEndAgreement());

    // A new question starts without an agreement of the old one.
    EXPECT_EQ(answerSessionEnd(true), SessionEndAnswer::GoAhead);
    setSessionEndQuestion([](int) { return 1; });
    EXPECT_FALSE(takeSessionEndAgreement());
    setSessionEndQuestion({});
}

} // namespace
