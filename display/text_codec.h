// Text between raw bytes and the screen: code page 932 (Shift-JIS), lines
// that mix it with UTF-8, the bytes behind each shown character, and the
// bytes to store after the user edited such text.
#pragma once

#include "text/byte_range.h"

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A results line or field as shown: each word that is well-formed UTF-8 with
// at least one multi-byte character is UTF-8, everything else code page 932
// (a sequence that does not decode becomes U+FFFD and decoding goes on). A word is a stretch
// between bytes that can never belong to a double-byte code page 932 character (0x00-0x3F, 0x7F),
// so that a trail byte such as the "X" of "ス" (0x83 0x58) never splits code page 932 text into
// pieces that look like UTF-8. A UTF-8 word may end in a cut sequence, as a field taken up to a
// byte limit does, once two whole multi-byte characters came before it; the cut shows as U+FFFD.
QString DecodeForScreen(std::string_view bytes);

// DecodeForScreen's text, and for each of its UTF-16 code units the bytes
// of the character it belongs to (both halves of a surrogate pair share
// them). The ranges cover the input in order, without gaps.
struct DecodedText {
    QString text;
    std::vector<ByteRange> sources;
};
DecodedText DecodeWithSources(std::string_view bytes);

// The bytes to store when a field that showed DecodeForScreen(original) now
// holds edited: the characters at the start and the end that are unchanged
// keep their original bytes, whatever they showed as; the characters in
// between are encoded anew (see text_edit.cpp). At most maxBytes bytes,
// ending before the first character that would not fit.
std::string EncodeEditedText(std::string_view original, const QString& edited,
                             std::size_t maxBytes);
