// Code page 932 decoding through an iconv descriptor, with U+FFFD for what
// does not decode. iconv converts a stretch at once; the bytes behind each
// character it gave follow from the encoding's lead bytes.
#include "text/cp932_decoder.h"

#include <algorithm>

namespace torvesk::text {

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// A byte that starts a double-byte character; every other byte decodes
// alone or not at all.
bool IsLeadByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return (value >= 0x81 && value <= 0x9F) || (value >= 0xE0 && value <= 0xFC);
}

// The sources of the characters of converted, which iconv took whole.
void AddSources(std::string_view bytes, ByteRange converted, DecodedText& decoded) {
    for (std::size_t at = converted.begin; decoded.keepsSources && at < converted.end;) {
        const std::size_t end = std::min(at + (IsLeadByte(bytes[at]) ? 2 : 1), converted.end);
        decoded.sources.push_back({at, end});
        at = end;
    }
}

// Code page 932 keeps ASCII as it is, so ASCII needs no descriptor.
void AppendAscii(std::string_view bytes, ByteRange stretch, DecodedText& decoded) {
    decoded.text.append(bytes.begin() + stretch.begin, bytes.begin() + stretch.end);
    for (std::size_t at = stretch.begin; decoded.keepsSources && at < stretch.end; ++at)
        decoded.sources.push_back({at, at + 1});
}

} // namespace

Converter& Cp932Decoder::Get() {
    if (!converter_)
        converter_.emplace(kNativeUtf16, "CP932");
    return *converter_;
}

void Cp932Decoder::Decode(std::string_view bytes, ByteRange stretch, DecodedText& decoded) {
    if (IsAscii(Slice(bytes, stretch))) {
        AppendAscii(bytes, stretch, decoded);
        return;
    }
    for (std::size_t at = stretch.begin; at < stretch.end;) {
        at = ConvertFrom(bytes, at, stretch.end, decoded);
        if (at < stretch.end) {
            decoded.Append(kReplacementCharacter, {at, at + 1});
            ++at;
        }
    }
}

std::size_t Cp932Decoder::ConvertFrom(std::string_view bytes, std::size_t at, std::size_t end,
                                      DecodedText& decoded) {
    std::u16string& text = decoded.text;
    const std::size_t start = text.size();
    text.resize(start + (end - at)); // at most one unit a byte
    char* out = reinterpret_cast<char*>(text.data() + start);
    std::size_t outLeft = (end - at) * sizeof(char16_t);
    const char* in = bytes.data() + at;
    std::size_t inLeft = end - at;
    Get().Convert(in, inLeft, out, outLeft);
    text.resize(text.size() - outLeft / sizeof(char16_t));
    const std::size_t stop = end - inLeft;
    AddSources(bytes, {at, stop}, decoded);
    return stop;
}

} // namespace torvesk::text
