// The header under test comes first: it must compile on its own.
#include "runtime/text_builder.h"

#include "runtime/runtime_string.h"
#include "runtime/text_functions.h"
#include "runtime/work_area.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TextBuilder, BuildsFromMixedPieces)
{
    String status;
    storeText(status, "Column ", 2, " at ", fixed(1.23456, 4), "; ", [] { leftPart("abcdef", 3); });
    EXPECT_STREQ(status, "Column 2 at 1.2346; abc");
    String made = makeText(String("x"), -7);
    EXPECT_STREQ(made, "x-7");
    int before = workAreaPosition();
    {
        WorkText text("a", 1, nullptr, "b");
        EXPECT_STREQ(text, "a1b");
    }
    EXPECT_EQ(workAreaPosition(), before);
}

TEST(TextBuilder, WholeNumbersRoundHalfToEven)
{
    String readout;
    storeText(readout, "Origin: ", whole(2.5), "/", whole(-3.5));
    EXPECT_STREQ(readout, "Origin: 2/-4");
    storeText(readout, whole(1e30), " ", whole(0.49999999999999994));
    EXPECT_STREQ(readout, "9223372036854775807 0");
}

// Stands for a call that takes several texts at once, as the input requester and the dialog do.
std::vector<std::string> takeThree(const char* first, const char* second, const char* third)
{
    return { first, second, third };
}

TEST(WorkText, SeveralTextsInOneCallStayIntact)
{
    int before = workAreaPosition();
    EXPECT_EQ(takeThree(WorkText("Width Reference"), WorkText("Please enter"), WorkText(fixed(0.0, 4))),
        (std::vector<std::string> { "Width Reference", "Please enter", "0.0000" }));
    EXPECT_EQ(workAreaPosition(), before);

    // A later text that makes the work area grow does not invalidate the pointers of the earlier
    // ones, whichever order the arguments are evaluated in.
    freeWorkArea();
    initWorkArea();
    const std::string big(20000, 'x');
    std::vector<std::string> texts = takeThree(WorkText("first"), WorkText(big.c_str()), WorkText("third"));
    EXPECT_EQ(texts[0], "first");
    EXPECT_TRUE(texts[1] == big) << texts[1].size() << " bytes";
    EXPECT_EQ(texts[2], "third");
    EXPECT_EQ(workAreaPosition(), 0);

    WorkText width("Width ", 2);
    WorkText height("Height");
    EXPECT_EQ(width.length(), 7);
    EXPECT_EQ(height.length(), 6);
    EXPECT_STREQ(width, "Width 2");
}

} // namespace
