// Text between raw bytes and the screen: code page 932 (Shift-JIS), and
// lines that mix it with UTF-8; and a results line as one line of text.
#pragma once

#include <QString>

#include <string_view>

namespace torvesk::display {

// A results line or field as shown (see DecodeText in text/decoded_text.h).
QString DecodeForScreen(std::string_view bytes);
// text on one line (see OnOneLine in text/line_rules.h).
QString OnOneLine(const QString& text);

} // namespace torvesk::display
