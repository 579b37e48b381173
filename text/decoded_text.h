// Raw bytes as the screen and the start dialog show them, with the bytes
// behind each character: the one decoding of results lines and fields.
#pragma once

#include "text/byte_range.h"

#include <string>
#include <string_view>
#include <vector>

namespace torvesk::text {

// The shown text in UTF-16, and when kept, for each of its code units the
// bytes of the character it belongs to (both halves of a surrogate pair
// share them). The ranges cover the input in order, without gaps.
struct DecodedText {
    std::u16string text;
    std::vector<ByteRange> sources;
    bool keepsSources = true;

    void Append(char16_t unit, ByteRange source) {
        text.push_back(unit);
        if (keepsSources)
            sources.push_back(source);
    }
};

// Each word that is well-formed UTF-8 with at least one multi-byte character
// is UTF-8, everything else code page 932 (a sequence that does not decode
// becomes U+FFFD and decoding goes on). A word is a stretch between bytes
// that can never belong to a double-byte code page 932 character (0x00-0x3F,
// 0x7F), so that a trail byte such as the "X" of "ス" (0x83 0x58) never
// splits code page 932 text into pieces that look like UTF-8. A UTF-8 word
// may end in a cut sequence, as a field taken up to a byte limit does, once
// two whole multi-byte characters came before it; the cut shows as U+FFFD.
DecodedText DecodeWithSources(std::string_view bytes);
// The same text without its sources, for the screen, which needs no more.
std::u16string DecodeText(std::string_view bytes);

} // namespace torvesk::text
