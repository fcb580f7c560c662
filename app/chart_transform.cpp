#include "chart_transform.h"

#include "runtime/text_builder.h"

#include <cfloat>
#include <cmath>
#include <limits>

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

String unsetSpanReadout(const char* label, double reference)
{
    return makeText(label, ": n/a - ", fixed(reference, 4));
}
