// DecodeWithSources: the screen's mixed decoding, character by character,
// noting where each character came from.
#include "shell/decoded_text.h"

#include "text/cp932_decoder.h"
#include "text/text_runs.h"

namespace {

void AppendWithSource(DecodedText& decoded, char32_t character, ByteRange source) {
    const auto units = QChar::fromUcs4(character);
    decoded.text.append(units);
    decoded.sources.insert(decoded.sources.end(), static_cast<std::size_t>(units.size()), source);
}

void AppendCp932WithSources(Cp932Decoder& decoder, std::string_view bytes, ByteRange span,
                            DecodedText& decoded) {
    for (std::size_t at = span.begin; at < span.end;) {
        const auto [unit, length] = decoder.CharacterAt(bytes.substr(at, span.end - at));
        AppendWithSource(decoded, unit, {at, at + length});
        at += length;
    }
}

void AppendUtf8WithSources(std::string_view bytes, ByteRange word, DecodedText& decoded) {
    ForEachUtf8Character(Slice(bytes, word),
                         [&](char32_t character, std::size_t at, std::size_t length) {
                             const std::size_t begin = word.begin + at;
                             AppendWithSource(decoded, character, {begin, begin + length});
                         });
}

} // namespace

DecodedText DecodeWithSources(std::string_view bytes) {
    DecodedText decoded;
    Cp932Decoder decoder;
    ForEachRun(
        bytes, [&](ByteRange span) { AppendCp932WithSources(decoder, bytes, span, decoded); },
        [&](ByteRange word) { AppendUtf8WithSources(bytes, word, decoded); });
    return decoded;
}
