#include "app/reference_entry.h"

#include <gtest/gtest.h>

namespace {

TEST(ReferenceAnswers, HowTypedTextsAreRead)
{
    struct Case {
        const char* answer;
        ReferenceAnswer kind;
        double value;
    };
    const Case cases[] = {
        { "1234,56", ReferenceAnswer::Number, 1234.56 },
        { "1234.56", ReferenceAnswer::Number, 1234.56 },
        { "  -7,5", ReferenceAnswer::Number, -7.5 },
        { "12abc", ReferenceAnswer::Number, 12 },
        { "12 apples", ReferenceAnswer::Number, 12 },
        { "1.5.", ReferenceAnswer::Number, 1.5 },
        { ".5", ReferenceAnswer::Number, 0.5 },
        { "2e3", ReferenceAnswer::Number, 2000 },
        { "2e", ReferenceAnswer::Number, 2 },
        { "0", ReferenceAnswer::Number, 0 },
        // Thousands separators would cut the number short: refused.
        { "1.234,56", ReferenceAnswer::Invalid, 0 },
        { "1,234.56", ReferenceAnswer::Invalid, 0 },
        { "1 234,56", ReferenceAnswer::Invalid, 0 },
        { "1\xA0"
          "234,56",
            ReferenceAnswer::Invalid, 0 }, // no-break space in ISO 8859-1
        { "1?234,56", ReferenceAnswer::Invalid, 0 }, // a narrow no-break space after conversion
        { "1'234", ReferenceAnswer::Invalid, 0 },
        { "12 kg", ReferenceAnswer::Number, 12 },
        { "12x", ReferenceAnswer::Number, 12 },
        // Only decimal numbers: the C library would read these as hexadecimal 16.
        { "0x10", ReferenceAnswer::Invalid, 0 },
        { "0x1p4", ReferenceAnswer::Invalid, 0 },
        { " -0X10", ReferenceAnswer::Invalid, 0 },
        { "1p4", ReferenceAnswer::Number, 1 },
        { "infinity", ReferenceAnswer::Invalid, 0 },
        // No number at the start, or no finite one.
        { "abc", ReferenceAnswer::Invalid, 0 },
        { "   ", ReferenceAnswer::Invalid, 0 },
        { "-", ReferenceAnswer::Invalid, 0 },
        { ".", ReferenceAnswer::Invalid, 0 },
        { "NaN", ReferenceAnswer::Invalid, 0 },
        { "+Infinity", ReferenceAnswer::Invalid, 0 },
        { "1e999", ReferenceAnswer::Invalid, 0 },
        // Nothing typed.
        { "", ReferenceAnswer::Keep, 0 },
    };
    for (const Case& c : cases) {
        const ParsedReference parsed = parseReference(c.answer, "0.0000");
        EXPECT_EQ(parsed.answer, c.kind) << '"' << c.answer << '"';
        if (c.kind == ReferenceAnswer::Number) {
            EXPECT_DOUBLE_EQ(parsed.value, c.value) << '"' << c.answer << '"';
        }
    }
}

TEST(ReferenceAnswers, TheRefusalNamesTheAnswerAndTheWayToWriteIt)
{
    EXPECT_STREQ(refusalText("1 234,56"),
        "This is not a number that can be read: \"1 234,56\". Please enter like 1234,56 or 1234.56!");
}

TEST(ReferenceAnswers, TheOfferedTextUnchangedKeepsTheValue)
{
    // A reference of 0.00004 is offered as 0.0000; pressing Return must not cut it to 0.
    EXPECT_EQ(parseReference("0.0000", "0.0000").answer, ReferenceAnswer::Keep);
    EXPECT_EQ(parseReference("0,0000", "0.0000").answer, ReferenceAnswer::Number);
    EXPECT_EQ(parseReference(nullptr, "1.0000").answer, ReferenceAnswer::Keep);
}

} // namespace
