#include "reference_entry.h"

#include "status_prompt.h"
#include "translations.h"

#include "runtime/number_text.h"
#include "runtime/text_builder.h"
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

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "1.234.56", "1 234.56", "1'234" or a no-break space between the groups (0xA0 in ISO 8859-1;
// a narrow one cannot be held and arrives as "?"): the number goes on after a separator, so
// reading only its start would store a wrong value. Only words may follow a number ("12 kg").
bool numberGoesOn(const char* rest)
{
    return *rest != '\0' && !isLetter(*rest) && isDigit(rest[1]);
}

// "0x10" is hexadecimal to the C library; only decimal numbers are read here.
bool looksHexadecimal(const char* text, const char* rest)
{
    while (isBlank(*text) || *text == '+' || *text == '-')
        ++text;
    return (*rest == 'x' || *rest == 'X') && rest - text == 1 && *text == '0';
}

} // namespace

String refusalText(const char* answer)
{
    return makeText(translate("This is not a number that can be read:"), " \"", answer, "\". ",
        translate("Please enter like 1234,56 or 1234.56!"));
}

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
    if (!end || numberGoesOn(end) || looksHexadecimal(text.c_str(), end))
        return { ReferenceAnswer::Invalid, 0.0 };
    // Only the decimal number itself is converted: the words after it are not the converter's.
    const double value = textToReal(std::string(text.c_str(), end).c_str());
    if (!std::isfinite(value))
        return { ReferenceAnswer::Invalid, 0.0 };
    return { ReferenceAnswer::Number, value };
}

String notPositiveText(const char* answer)
{
    return makeText(translate("A logarithmic axis has only values above 0:"), " \"", answer, "\". ",
        translate("Please enter like 1234,56 or 1234.56!"));
}

std::optional<double> askReference(const char* title, double current, bool positiveOnly)
{
    const String defaultText = makeText(fixed(current, 4));
    String answer = inputRequester(title, translate("Please enter like 1234,56 or 1234.56!"), defaultText);
    // A refused answer is asked for again, with the reason above the field and the answer in it
    // to be mended: there the whole message can be read, right where the user types, and nothing
    // that comes after the entry (the next prompt of the calibration) covers it.
    ParsedReference parsed = parseReference(answer, defaultText);
    const auto notPositive
        = [&] { return positiveOnly && parsed.answer == ReferenceAnswer::Number && !(parsed.value > 0); };
    while (parsed.answer == ReferenceAnswer::Invalid || notPositive()) {
        const String refused = answer;
        answer
            = inputRequester(title, notPositive() ? notPositiveText(refused) : refusalText(refused), refused);
        parsed = parseReference(answer, defaultText);
    }
    if (parsed.answer != ReferenceAnswer::Number)
        return std::nullopt;
    return parsed.value;
}

void askNumberWithoutUse()
{
    (void)inputRequester("", translate("Please enter like 1234,56 or 1234.56!"), "");
}
