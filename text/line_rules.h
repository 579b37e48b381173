// A results line on one line of text: the rule a screen reader, the status
// bar and a terminal share, and the terminal's own rule for the characters
// it would obey instead of showing.
#pragma once

#include <string>
#include <string_view>

namespace torvesk::text {

// text with each line break in it (LF, CR, VT, FF, U+2028, U+2029) made a
// space: a results line as a screen reader reads it and a terminal prints it.
std::u16string OnOneLine(std::u16string text);
// line's bytes as a terminal prints them: decoded as the screen decodes
// them (DecodeText), on one line, and each character a terminal would obey
// (a control character other than the tab, DEL, a C1 control) shown as
// U+FFFD.
std::u16string ForTerminal(std::string_view line);

} // namespace torvesk::text
