#include "runtime/json_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

JsonReading readText(const std::string& text, JsonLimits limits = {})
{
    return readJson(text, limits);
}

TEST(JsonReading, ReadsEveryKindOfValue)
{
    const JsonReading reading = readText(
        R"( {"a": [1, -2.5e3, 0.125, true, false, null], "b": {"c": "x\"\\\/\n\u00e9\ud83d\ude00"}, "d": []} )");
    ASSERT_TRUE(reading.ok) << reading.problem;
    const JsonValue& a = *reading.value.member("a");
    ASSERT_EQ(a.items().size(), 6u);
    EXPECT_EQ(a.items()[0].number(), 1.0);
    EXPECT_EQ(a.items()[1].number(), -2500.0);
    EXPECT_EQ(a.items()[2].number(), 0.125);
    EXPECT_TRUE(a.items()[3].boolean());
    EXPECT_EQ(a.items()[4].kind(), JsonValue::Kind::Boolean);
    EXPECT_FALSE(a.items()[4].boolean());
    EXPECT_TRUE(a.items()[5].isNull());
    EXPECT_EQ(reading.value.member("b")->member("c")->text(), "x\"\\/\n\xc3\xa9\xf0\x9f\x98\x80");
    EXPECT_EQ(reading.value.member("d")->kind(), JsonValue::Kind::Array);
    EXPECT_EQ(reading.value.member("e"), nullptr);
}

TEST(JsonReading, RefusesWhatTheGrammarDoesNotAllow)
{
    for (const char* text : {
             "", // no value
             "[1,]", // trailing comma
             "{\"a\":1,}", // the same in an object
             "[1 2]", // missing comma
             "{\"a\" 1}", // missing colon
             "{a:1}", // a bare name
             "{\"a\":1,\"a\":2}", // a name given twice
             "01", // a leading zero
             "1.", // no digit after the point
             ".5", // no digit before it
             "1e", // no exponent digits
             "+1", // a plus sign
             "NaN", "Infinity", "1e400", // no number JSON allows a double to hold
             "tru", "nul", // broken words
             "\"abc", // never closed
             "\"a\tb\"", // a raw control character
             "\"\\x\"", // an unknown escape
             "\"\\u12\"", // a short escape
             "\"\\ud800\"", "\"\\udc00\"", "\"\\ud800\\u0041\"", // lone surrogates
             "\"\xc3\"", "\"\xc0\xaf\"", "\"\xed\xa0\x80\"", "\"\xf5\x80\x80\x80\"", "\"\xff\"", // not UTF-8
             "[1] [2]", // text after the value
             "/* c */ 1", // a comment
         }) {
        const JsonReading reading = readText(text);
        EXPECT_FALSE(reading.ok) << text;
        EXPECT_FALSE(reading.problem.empty()) << text;
    }
}

TEST(JsonReading, LimitsBoundDepthAndValues)
{
    JsonLimits limits;
    limits.maxDepth = 3;
    limits.maxValues = 5;
    EXPECT_TRUE(readText("[[[1]]]", limits).ok);
    EXPECT_FALSE(readText("[[[[1]]]]", limits).ok);
    EXPECT_FALSE(readText("{\"a\":{\"b\":{\"c\":{}}}}", limits).ok);
    EXPECT_TRUE(readText("[1,2,3,4]", limits).ok);
    EXPECT_FALSE(readText("[1,2,3,4,5]", limits).ok);
    // Deep nesting far beyond the limit ends at the limit instead of exhausting the stack.
    EXPECT_FALSE(readText(std::string(100000, '['), {}).ok);
}

TEST(JsonWriting, StringsAndNumbersReadBackTheSame)
{
    const std::string texts[] = { "", "plain", "quote \" backslash \\ slash /", "line\nbreak\ttab\r",
        std::string("\x01\x1f", 2), "\xc3\xa9t\xc3\xa9" };
    for (const std::string& text : texts) {
        std::string json;
        appendJsonString(json, text);
        const JsonReading reading = readText(json);
        ASSERT_TRUE(reading.ok) << json << ": " << reading.problem;
        EXPECT_EQ(reading.value.text(), text);
    }
    const double numbers[] = { 0.0, -0.0, 1.0, 0.1, 1.0 / 3.0, 123456.789, -2.5e-300, 1.7976931348623157e308,
        std::numeric_limits<double>::denorm_min() };
    for (const double number : numbers) {
        std::string json;
        appendJsonNumber(json, number);
        const JsonReading reading = readText(json);
        ASSERT_TRUE(reading.ok) << json;
        EXPECT_EQ(reading.value.number(), number) << json;
        EXPECT_EQ(std::signbit(reading.value.number()), std::signbit(number)) << json;
    }
    std::string infinite;
    appendJsonNumber(infinite, std::numeric_limits<double>::infinity());
    EXPECT_EQ(infinite, "null");
}

} // namespace
