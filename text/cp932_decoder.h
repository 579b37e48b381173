// Code page 932 (Shift-JIS) to UTF-16 on glibc iconv, a stretch or a
// character at a time. Nothing is lost silently: a byte that does not
// decode becomes U+FFFD and decoding goes on after it.
#pragma once

#include "text/iconv_converter.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

constexpr char16_t kReplacementCharacter = 0xFFFD;

// The iconv descriptor is opened on first use: text without code page 932
// bytes never pays for it.
class Cp932Decoder {
public:
    // Decodes span into out, which has room for span.size() units (all of
    // code page 932 lies in the BMP, one unit per character of one or two
    // bytes); returns the number of units written.
    std::size_t Decode(std::string_view span, char16_t* out);
    // The character at the start of bytes (not empty) and its length in
    // bytes; a byte that does not decode gives U+FFFD and length 1.
    std::pair<char16_t, std::size_t> CharacterAt(std::string_view bytes);

private:
    Converter& Get();

    std::optional<Converter> converter_;
};
