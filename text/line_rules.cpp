// The one-line rule and the terminal's rule, over UTF-16 code units.
#include "text/line_rules.h"

#include "text/decoded_text.h"

namespace torvesk::text {

namespace {

bool IsLineBreak(char16_t unit) {
    return unit == u'\n' || unit == u'\r' || unit == u'\v' || unit == u'\f' || unit == u'\u2028' ||
           unit == u'\u2029';
}

bool ObeyedByTerminal(char16_t unit) {
    return (unit < 0x20 && unit != u'\t') || (unit >= 0x7F && unit <= 0x9F);
}

} // namespace

std::u16string OnOneLine(std::u16string text) {
    for (char16_t& unit : text)
        if (IsLineBreak(unit))
            unit = u' ';
    return text;
}

std::u16string ForTerminal(std::string_view line) {
    std::u16string text = OnOneLine(DecodeText(line));
    for (char16_t& unit : text)
        if (ObeyedByTerminal(unit))
            unit = u'\uFFFD';
    return text;
}

} // namespace torvesk::text
