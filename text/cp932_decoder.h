// Code page 932 (Shift-JIS) to UTF-16 on glibc iconv, a stretch at a time,
// with the bytes behind each character. Nothing is lost silently: a byte
// that does not decode becomes U+FFFD and decoding goes on after it.
#pragma once

#include "text/decoded_text.h"
#include "text/iconv_converter.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace torvesk::text {

// The iconv descriptor is opened on first use: text without code page 932
// bytes beyond ASCII never pays for it.
class Cp932Decoder {
public:
    // Appends the characters of bytes[stretch] to decoded, one unit each
    // (all of code page 932 lies in the BMP), with their sources.
    void Decode(std::string_view bytes, ByteRange stretch, DecodedText& decoded);

private:
    // Converts from at on, up to the first byte that does not decode or the
    // end; returns where it stopped.
    std::size_t ConvertFrom(std::string_view bytes, std::size_t at, std::size_t end,
                            DecodedText& decoded);
    Converter& Get();

    std::optional<Converter> converter_;
};

} // namespace torvesk::text
