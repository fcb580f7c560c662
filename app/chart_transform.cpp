#include "chart_transform.h"

#include "runtime/text_builder.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

double chartValue(double heightReference, double spanHeight, double originY, double y)
{
    const double value = heightReference / spanHeight * (originY - y);
    // Beyond the float range the conversion is undefined; such a value overflows to infinity.
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
        return std::copysign(std::numeric_limits<double>::infinity(), value);
    return static_cast<double>(static_cast<float>(value));
}

String valueText(double value)
{
    return makeText(fixed(value, 2));
}

String pointReadout(const char* label, double x, double y)
{
    return makeText(label, ": ", whole(x), "/", whole(y));
}

String spanReadout(const char* label, double span, double reference)
{
    return makeText(label, ": ", whole(span), " - ", fixed(reference, 4));
}

namespace {

// The value with four decimals, trailing zeros and a bare point dropped; never "-0".
std::string markValueText(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string result = text;
    if (result.find('.') != std::string::npos) {
        result.erase(result.find_last_not_of('0') + 1);
        if (result.back() == '.')
            result.pop_back();
    }
    return result == "-0" ? "0" : result;
}

} // namespace

String axisMarksReadout(const char* label, double first, double second)
{
    return makeText(label, ": ", markValueText(first).c_str(), " - ", markValueText(second).c_str());
}

String unsetSpanReadout(const char* label, double reference)
{
    return makeText(label, ": n/a - ", fixed(reference, 4));
}
