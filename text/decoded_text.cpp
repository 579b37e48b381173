// DecodeWithSources: the run splitting of text_runs.h, UTF-8 words decoded
// here and code page 932 stretches by Cp932Decoder.
#include "text/decoded_text.h"

#include "text/cp932_decoder.h"
#include "text/text_runs.h"

namespace torvesk::text {

namespace {

// One unit, or beyond the BMP a surrogate pair, high half first.
void AppendCharacter(char32_t character, ByteRange source, DecodedText& decoded) {
    if (character < 0x10000) {
        decoded.Append(static_cast<char16_t>(character), source);
        return;
    }
    decoded.Append(static_cast<char16_t>(0xD7C0 + (character >> 10)), source);
    decoded.Append(static_cast<char16_t>(0xDC00 + (character & 0x3FF)), source);
}

// The characters of a UTF-8 word; a cut or malformed sequence gives U+FFFD.
void AppendUtf8(std::string_view bytes, ByteRange word, DecodedText& decoded) {
    const std::string_view text = Slice(bytes, word);
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const Utf8Sequence sequence =
            byte < 0x80 ? Utf8Sequence{Utf8Status::Complete, 1, byte} : ReadUtf8(text, at);
        AppendCharacter(sequence.status == Utf8Status::Complete ? sequence.codePoint : U'\uFFFD',
                        {word.begin + at, word.begin + at + sequence.length}, decoded);
        at += sequence.length;
    }
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

} // namespace torvesk::text
