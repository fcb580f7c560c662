#include "reference_entry.h"

#include "app_ids.h"
#include "calibration.h"
#include "chart_transform.h"
#include "status_prompt.h"
#include "translations.h"

#include "runtime/number_text.h"
#include "runtime/text_builder.h"
#include "toolkit/gadgets.h"
#include "toolkit/requesters.h"

#include <cmath>
#include <string>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The end of the decimal number at the start of the text (after blanks and a sign), or nullptr
// when the text does not start with one. Exponents count only with their digits, as atof reads.
const char* endOfLeadingNumber(const char* text)
{
    const char* p = text;
    while (isBlank(*p))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    bool digits = false;
    while (isDigit(*p)) {
        ++p;
        digits = true;
    }
    if (*p == '.') {
        ++p;
        while (isDigit(*p)) {
            ++p;
            digits = true;
        }
    }
    if (!digits)
        return nullptr;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-')
            ++q;
        if (isDigit(*q)) {
            while (isDigit(*q))
                ++q;
            p = q;
        }
    }
    return p;
}

// "1.234.56" or "1 234.56": the number goes on after a separator, so reading only its start
// would store a wrong value.
bool numberGoesOn(const char* rest)
{
    return (*rest == '.' || *rest == ' ' || *rest == '\'') && isDigit(rest[1]);
}

} // namespace

ParsedReference parseReference(const char* answer, const char* defaultText)
{
    if (!answer || !*answer || (defaultText && std::string(answer) == defaultText))
        return {};
    std::string text(answer);
    for (char& c : text) {
        if (c == ',')
            c = '.';
    }
    const char* end = endOfLeadingNumber(text.c_str());
    if (!end || numberGoesOn(end))
        return { ReferenceAnswer::Invalid, 0.0 };
    const double value = textToReal(text.c_str());
    if (!std::isfinite(value))
        return { ReferenceAnswer::Invalid, 0.0 };
    return { ReferenceAnswer::Number, value };
}

void enterReference(int item)
{
    const bool width = item == MENU_SET_REFERENCE_WIDTH;
    const bool height = item == MENU_SET_REFERENCE_HEIGHT;
    String title;
    String defaultText;
    if (width || height) {
        title = translate(width ? "Width Reference" : "Height Reference");
        defaultText = makeText(fixed(width ? widthReference : heightReference, 4));
    }
    const String answer
        = inputRequester(title, translate("Please enter like 1234,56 or 1234.56!"), defaultText);
    if (!width && !height)
        return;

    const ParsedReference parsed = parseReference(answer, defaultText);
    if (parsed.answer == ReferenceAnswer::Invalid) {
        showResult(translate("Please enter like 1234,56 or 1234.56!"));
        return;
    }
    if (parsed.answer != ReferenceAnswer::Number)
        return;
    if (width) {
        widthReference = parsed.value;
        setGadgetText(GADGET_WIDTH, spanReadout(translate("Width"), spanWidth, widthReference));
    } else {
        heightReference = parsed.value;
        setGadgetText(GADGET_HEIGHT, spanReadout(translate("Height"), spanHeight, heightReference));
    }
}
