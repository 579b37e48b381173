// Text between raw bytes and the screen: code page 932 (Shift-JIS), and
// lines that mix it with UTF-8; and a results line as one line of text.
#pragma once

#include <QString>

#include <string_view>

// A results line or field as shown (see DecodeText in text/decoded_text.h).
QString DecodeForScreen(std::string_view bytes);
// text with each line break in it (LF, CR, VT, FF, U+2028, U+2029) made a
// space: a results line as a screen reader reads it and a terminal prints it.
QString OnOneLine(QString text);
