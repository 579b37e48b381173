// The mixed decoding of lines that hold code page 932 and UTF-8. Decoding
// never loses a byte silently: what does not decode becomes U+FFFD.
#include "display/text_codec.h"

#include "text/cp932_decoder.h"
#include "text/text_runs.h"

#include <algorithm>

namespace {

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// Code page 932 keeps ASCII as it is, so ASCII needs no decoder.
void AppendCp932(Cp932Decoder& decoder, std::string_view span, QString& text) {
    if (IsAscii(span)) {
        text.append(QLatin1StringView(span.data(), static_cast<qsizetype>(span.size())));
        return;
    }
    const qsizetype start = text.size();
    text.resize(start + static_cast<qsizetype>(span.size()));
    const std::size_t units =
        decoder.Decode(span, reinterpret_cast<char16_t*>(text.data() + start));
    text.resize(start + static_cast<qsizetype>(units));
}

void AppendUtf8(std::string_view word, QString& text) {
    ForEachUtf8Character(word, [&text](char32_t character, std::size_t, std::size_t) {
        text.append(QChar::fromUcs4(character));
    });
}

} // namespace

QString DecodeForScreen(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size())); // never more units than bytes
    Cp932Decoder decoder;
    ForEachRun(
        bytes, [&](ByteRange span) { AppendCp932(decoder, Slice(bytes, span), text); },
        [&](ByteRange word) { AppendUtf8(Slice(bytes, word), text); });
    return text;
}
