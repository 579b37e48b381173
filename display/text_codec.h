// Text between raw bytes and the screen: code page 932 (Shift-JIS), and
// lines that mix it with UTF-8.
#pragma once

#include <QString>

#include <string_view>

// A results line or field as shown: each word that is well-formed UTF-8 with
// at least one multi-byte character is UTF-8, everything else code page 932
// (a sequence that does not decode becomes U+FFFD and decoding goes on). A word is a stretch
// between bytes that can never belong to a double-byte code page 932 character (0x00-0x3F, 0x7F),
// so that a trail byte such as the "X" of "ス" (0x83 0x58) never splits code page 932 text into
// pieces that look like UTF-8. A UTF-8 word may end in a cut sequence, as a field taken up to a
// byte limit does, once two whole multi-byte characters came before it; the cut shows as U+FFFD.
QString DecodeForScreen(std::string_view bytes);
