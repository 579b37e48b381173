// How the mixed decoding splits a line: UTF-8 sequences, the words that are
// UTF-8, and the code page 932 stretches between them.
#pragma once

#include "text/byte_range.h"

#include <cstddef>
#include <string_view>

namespace torvesk::text {

enum class Utf8Status { Complete, Cut, Malformed };

// The sequence at bytes[at] (a byte of 0x80 or above). Complete: a
// well-formed character (no overlong form, no surrogate, nothing past
// U+10FFFF). Cut: well-formed so far but the bytes end; length is what is
// left. Malformed: length 1.
struct Utf8Sequence {
    Utf8Status status;
    std::size_t length;
    char32_t codePoint;
};
Utf8Sequence ReadUtf8(std::string_view bytes, std::size_t at);

// True for a word with a multi-byte character that is well-formed UTF-8,
// allowing a cut last sequence after two whole multi-byte characters.
bool IsUtf8Word(std::string_view word);

// Bytes that may belong to a double-byte code page 932 character, as lead
// or trail; any other byte ends a word in both encodings.
inline bool IsWordByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 0x40 && value != 0x7F;
}

// Calls onCp932(range) and onUtf8(range) for consecutive ranges that cover
// bytes: UTF-8 words, and the code page 932 stretches between them.
template <typename OnCp932, typename OnUtf8>
void ForEachRun(std::string_view bytes, OnCp932 onCp932, OnUtf8 onUtf8) {
    std::size_t pending = 0; // the code page 932 stretch not yet handed out starts here
    for (std::size_t at = 0; at < bytes.size();) {
        if (!IsWordByte(bytes[at])) {
            ++at;
            continue;
        }
        const std::size_t start = at;
        while (at < bytes.size() && IsWordByte(bytes[at]))
            ++at;
        if (!IsUtf8Word(bytes.substr(start, at - start)))
            continue;
        if (pending < start)
            onCp932(ByteRange{pending, start});
        onUtf8(ByteRange{start, at});
        pending = at;
    }
    if (pending < bytes.size())
        onCp932(ByteRange{pending, bytes.size()});
}

} // namespace torvesk::text
