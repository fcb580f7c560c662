#include "runtime/number_text.h"
#include "runtime/work_area.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace {

std::string intText(std::int64_t value)
{
    WorkAreaMark mark;
    intToText(value);
    return mark.text();
}

std::string realText(double value, int decimals)
{
    WorkAreaMark mark;
    realToText(value, decimals);
    return mark.text();
}

TEST(IntToText, WholeRange)
{
    EXPECT_EQ(intText(0), "0");
    EXPECT_EQ(intText(7), "7");
    EXPECT_EQ(intText(-42), "-42");
    EXPECT_EQ(intText(-2147483648LL), "-2147483648");
    EXPECT_EQ(intText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(intText(std::numeric_limits<std::int64_t>::max()), "9223372036854775807");
    int before = workAreaPosition();
    intToText(12345);
    EXPECT_EQ(workAreaPosition(), before + 5); // the rest of the reservation is given back
    truncateWorkArea(before);
}

TEST(RoundToEven, HalvesGoToTheEvenNeighbourAndTheEndsSaturate)
{
    constexpr double INF = std::numeric_limits<double>::infinity();
    constexpr std::int64_t MAX = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t MIN = std::numeric_limits<std::int64_t>::min();
    const std::pair<double, std::int64_t> cases[] = {
        { 2.5, 2 },
        { 3.5, 4 },
        { 0.5, 0 },
        { 1.5, 2 },
        { -0.5, 0 },
        { -2.5, -2 },
        { -3.5, -4 },
        { 2.4999999999999996, 2 },
        { 2.5000000000000004, 3 },
        { -1.25, -1 },
        { 0.49999999999999994, 0 },
        { 4503599627370495.5, 4503599627370496 }, // 2^52 - 0.5: the largest tie a double holds
        { 9007199254740993.0, 9007199254740992 }, // already whole
        { 9223372036854774784.0, 9223372036854774784 }, // the largest double below 2^63
        { 9223372036854775808.0, MAX },
        { 1e300, MAX },
        { INF, MAX },
        { -9223372036854775808.0, MIN },
        { -1e300, MIN },
        { -INF, MIN },
        { std::numeric_limits<double>::quiet_NaN(), 0 },
        { -std::numeric_limits<double>::quiet_NaN(), 0 },
        { -0.0, 0 },
        { 0.0, 0 },
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(roundToEven(value), expected) << std::hexfloat << value;
}

TEST(RealToText, FixedDecimalsRoundHalfToEvenOnExactValue)
{
    EXPECT_EQ(realText(1.23456, 4), "1.2346");
    EXPECT_EQ(realText(-0.0, 4), "0.0000");
    EXPECT_EQ(realText(2.5, 0), "2");
    EXPECT_EQ(realText(3.5, 0), "4");
    EXPECT_EQ(realText(0.125, 2), "0.12"); // exact tie
    EXPECT_EQ(realText(1.005, 2), "1.00"); // 1.005 is slightly below the tie in binary
    EXPECT_EQ(realText(12.0, -7), "12");
    EXPECT_EQ(realText(1.0 / 3.0, -1), "0.3333333333");
    EXPECT_EQ(realText(-1234.5678, 2), "-1234.57");
    EXPECT_EQ(realText(1e300, 0).size(), 301u);
}

TEST(RealToText, ClampsDecimalsTo512)
{
    std::string text = realText(0.5, 600);
    ASSERT_EQ(text.size(), 2u + 512u);
    EXPECT_EQ(text.substr(0, 3), "0.5");
    // The largest double with 512 decimals still fits the reservation.
    EXPECT_EQ(realText(-std::numeric_limits<double>::max(), 512).size(), 1u + 309u + 1u + 512u);
}

TEST(RealToText, SpecialValues)
{
    EXPECT_EQ(realText(std::numeric_limits<double>::infinity(), 2), "+Infinity");
    EXPECT_EQ(realText(-std::numeric_limits<double>::infinity(), 2), "-Infinity");
    EXPECT_EQ(realText(std::numeric_limits<double>::quiet_NaN(), 2), "NaN");
    EXPECT_EQ(realText(-std::numeric_limits<double>::quiet_NaN(), 2), "NaN");
}

TEST(TextToReal, ParsesLikeAtofInTheCLocale)
{
    EXPECT_EQ(textToReal(nullptr), 0.0);
    EXPECT_EQ(textToReal("abc"), 0.0);
    EXPECT_EQ(textToReal("1234.56"), 1234.56);
    EXPECT_EQ(textToReal("1234,56"), 1234.0);
    EXPECT_EQ(textToReal("  -3e2x"), -300.0);
    EXPECT_EQ(textToReal("+.5"), 0.5);
    EXPECT_EQ(textToReal("-infinity"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(textToReal("+INFINITY"), std::numeric_limits<double>::infinity());
    double nan = textToReal("nan");
    EXPECT_TRUE(std::isnan(nan));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(textToReal("NaN")), 0x7FF8000000000000u);
}

TEST(NumberText, IndependentOfTheProcessLocale)
{
    // A German numeric locale uses a decimal comma; our texts must not follow it.
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german)
        german = std::setlocale(LC_NUMERIC, "de_DE");
    EXPECT_EQ(realText(1234.5, 2), "1234.50");
    EXPECT_EQ(textToReal("1234.56"), 1234.56);
    EXPECT_EQ(textToReal("1234,56"), 1234.0);
    std::setlocale(LC_NUMERIC, "C");
    if (!german)
        GTEST_SKIP() << "no German locale installed; checked under the C locale only";
}

} // namespace
