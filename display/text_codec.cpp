// The mixed decoding of lines that hold code page 932 and UTF-8, on glibc
// iconv. Decoding never loses a byte silently: what does not decode becomes
// U+FFFD.
#include "display/text_codec.h"

#include "text/iconv_converter.h"
#include "text/text_runs.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The code page 932 decoder, opened on first use: text without such bytes
// never pays for it.
class LazyDecoder {
public:
    Converter& Get() {
        if (!converter)
            converter.emplace(kNativeUtf16, "CP932");
        return *converter;
    }

private:
    std::optional<Converter> converter;
};

std::string_view Slice(std::string_view bytes, ByteRange range) {
    return bytes.substr(range.begin, range.end - range.begin);
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// Code page 932 keeps ASCII as it is, so ASCII needs no converter.
void AppendCp932(LazyDecoder& decoder, std::string_view span, QString& text) {
    if (IsAscii(span)) {
        text.append(QLatin1StringView(span.data(), static_cast<qsizetype>(span.size())));
        return;
    }
    // Every byte gives at most one UTF-16 unit: all of code page 932 lies in the BMP.
    const qsizetype start = text.size();
    text.resize(start + static_cast<qsizetype>(span.size()));
    char* const first = reinterpret_cast<char*>(text.data() + start);
    char* out = first;
    std::size_t outLeft = span.size() * sizeof(char16_t);
    const char* in = span.data();
    std::size_t inLeft = span.size();
    while (inLeft > 0 && decoder.Get().Convert(in, inLeft, out, outLeft) != 0) {
        std::memcpy(out, &kReplacement, sizeof kReplacement);
        out += sizeof kReplacement;
        outLeft -= sizeof kReplacement;
        ++in;
        --inLeft;
    }
    text.resize(start + (out - first) / static_cast<qsizetype>(sizeof(char16_t)));
}

// The code page 932 character at the start of bytes and its length; a byte
// that does not decode gives U+FFFD and length 1, as in AppendCp932.
std::pair<char16_t, std::size_t> Cp932CharacterAt(LazyDecoder& decoder, std::string_view bytes) {
    if (static_cast<unsigned char>(bytes[0]) < 0x80)
        return {static_cast<char16_t>(bytes[0]), 1};
    // Room for one unit: the conversion stops after the first character.
    char16_t unit = 0;
    char* out = reinterpret_cast<char*>(&unit);
    std::size_t outLeft = sizeof unit;
    const char* in = bytes.data();
    std::size_t inLeft = std::min<std::size_t>(bytes.size(), 2);
    decoder.Get().Convert(in, inLeft, out, outLeft);
    const auto used = static_cast<std::size_t>(in - bytes.data());
    return used == 0 ? std::pair{kReplacement, std::size_t{1}} : std::pair{unit, used};
}

// Appends one character; returns how many UTF-16 units it took.
qsizetype AppendCharacter(QString& text, char32_t character) {
    if (QChar::requiresSurrogates(character)) {
        text.append(QChar(QChar::highSurrogate(character)));
        text.append(QChar(QChar::lowSurrogate(character)));
        return 2;
    }
    text.append(QChar(static_cast<char16_t>(character)));
    return 1;
}

void AppendUtf8(std::string_view word, QString& text) {
    ForEachUtf8Character(word, [&text](char32_t character, std::size_t, std::size_t) {
        AppendCharacter(text, character);
    });
}

void AppendWithSource(DecodedText& decoded, char32_t character, ByteRange source) {
    const qsizetype units = AppendCharacter(decoded.text, character);
    decoded.sources.insert(decoded.sources.end(), static_cast<std::size_t>(units), source);
}

void AppendCp932WithSources(LazyDecoder& decoder, std::string_view bytes, ByteRange span,
                            DecodedText& decoded) {
    for (std::size_t at = span.begin; at < span.end;) {
        const auto [unit, length] = Cp932CharacterAt(decoder, bytes.substr(at, span.end - at));
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

QString DecodeForScreen(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size())); // never more units than bytes
    LazyDecoder decoder;
    ForEachRun(
        bytes, [&](ByteRange span) { AppendCp932(decoder, Slice(bytes, span), text); },
        [&](ByteRange word) { AppendUtf8(Slice(bytes, word), text); });
    return text;
}

DecodedText DecodeWithSources(std::string_view bytes) {
    DecodedText decoded;
    LazyDecoder decoder;
    ForEachRun(
        bytes, [&](ByteRange span) { AppendCp932WithSources(decoder, bytes, span, decoded); },
        [&](ByteRange word) { AppendUtf8WithSources(bytes, word, decoded); });
    return decoded;
}
