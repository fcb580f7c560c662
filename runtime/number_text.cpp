#include "number_text.h"

#include "work_area.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <strings.h>

namespace {

// Room for 309 integer digits, sign, point and 512 decimals.
constexpr int REAL_RESERVE = 1024;
constexpr int MAX_DECIMALS = 512;

locale_t cLocale()
{
    static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

void intToText(std::int64_t value)
{
    bool small = value >= std::numeric_limits<std::int32_t>::min()
        && value <= std::numeric_limits<std::int32_t>::max();
    int reserve = small ? 32 : 64;
    int start = workAreaPosition();
    char* out = reserveWorkArea(reserve, start);

    // The magnitude of the most negative value does not fit a signed integer; take it unsigned.
    std::uint64_t magnitude
        = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    int length = 0;
    if (value < 0)
        out[length++] = '-';
    while (count > 0)
        out[length++] = digits[--count];
    out[length] = '\0';
    shrinkWorkArea(reserve - length);
}

std::int64_t roundToEven(double value)
{
    if (std::isnan(value))
        return 0;
    // -2^63 and 2^63 are exact doubles; everything in between is within range once rounded.
    constexpr double LIMIT = 9223372036854775808.0;
    if (value >= LIMIT)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -LIMIT)
        return std::numeric_limits<std::int64_t>::min();
    // Independent of the floating-point rounding mode; value - below is exact for every double.
    double below = std::floor(value);
    double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    return static_cast<std::int64_t>(rounded);
}

void realToText(double value, int decimals)
{
    int start = workAreaPosition();
    char* out = reserveWorkArea(REAL_RESERVE, start);
    int length = 0;

    auto bits = std::bit_cast<std::uint64_t>(value);
    if (bits == std::bit_cast<std::uint64_t>(std::numeric_limits<double>::infinity())) {
        length = 9;
        std::memcpy(out, "+Infinity", 9);
    } else if (bits == std::bit_cast<std::uint64_t>(-std::numeric_limits<double>::infinity())) {
        length = 9;
        std::memcpy(out, "-Infinity", 9);
    } else if (std::isnan(value)) {
        length = 3;
        std::memcpy(out, "NaN", 3);
    } else {
        int precision = decimals == -1 ? 10 : std::clamp(decimals, 0, MAX_DECIMALS);
        if (value == 0.0)
            value = 0.0; // Negative zero prints without its sign.
        // to_chars rounds correctly on the exact binary value and ignores the locale.
        auto result = std::to_chars(out, out + REAL_RESERVE - 1, value, std::chars_format::fixed, precision);
        length = result.ec == std::errc() ? static_cast<int>(result.ptr - out) : 0;
    }
    out[length] = '\0';
    shrinkWorkArea(REAL_RESERVE - length);
}

void realToTextDefault(double value)
{
    realToText(value, -1);
}

double textToReal(const char* text)
{
    if (!text)
        return 0.0;
    if (strcasecmp(text, "+Infinity") == 0)
        return std::numeric_limits<double>::infinity();
    if (strcasecmp(text, "-Infinity") == 0)
        return -std::numeric_limits<double>::infinity();
    if (strcasecmp(text, "NaN") == 0)
        return std::bit_cast<double>(std::uint64_t { 0x7FF8000000000000 });
    return strtod_l(text, nullptr, cLocale());
}
