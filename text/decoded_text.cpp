// DecodeWithSources: the run splitting of text_runs.h, UTF-8 words decoded
// here and code page 932 stretches by Cp932Decoder.
#include "text/decoded_text.h"

#include "text/cp932_decoder.h"
#include "text/text_runs.h"

namespace {

void AppendUtf8(std::string_view bytes, ByteRange word, DecodedText& decoded) {
    ForEachUtf8Character(
        Slice(bytes, word), [&](char32_t character, std::size_t at, std::size_t length) {
            const ByteRange source{word.begin + at, word.begin + at + length};
            if (character < 0x10000) {
                decoded.Append(static_cast<char16_t>(character), source);
                return;
            }
            // A surrogate pair, high half first.
            decoded.Append(static_cast<char16_t>(0xD7C0 + (character >> 10)), source);
            decoded.Append(static_cast<char16_t>(0xDC00 + (character & 0x3FF)), source);
        });
}

DecodedText Decode(std::string_view bytes, bool keepsSources) {
    DecodedText decoded;
    decoded.keepsSources = keepsSources;
    decoded.text.reserve(bytes.size()); // never more units than bytes
    if (keepsSources)
        decoded.sources.reserve(bytes.size());
    Cp932Decoder cp932;
    ForEachRun(
        bytes, [&](ByteRange stretch) { cp932.Decode(bytes, stretch, decoded); },
        [&](ByteRange word) { AppendUtf8(bytes, word, decoded); });
    return decoded;
}

} // namespace

DecodedText DecodeWithSources(std::string_view bytes) {
    return Decode(bytes, true);
}

std::u16string DecodeText(std::string_view bytes) {
    return Decode(bytes, false).text;
}
