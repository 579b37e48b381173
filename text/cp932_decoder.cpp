// Code page 932 decoding through an iconv descriptor, with U+FFFD for what
// does not decode.
#include "text/cp932_decoder.h"

#include <algorithm>
#include <cstring>

Converter& Cp932Decoder::Get() {
    if (!converter_)
        converter_.emplace(kNativeUtf16, "CP932");
    return *converter_;
}

std::size_t Cp932Decoder::Decode(std::string_view span, char16_t* out) {
    char* const first = reinterpret_cast<char*>(out);
    char* next = first;
    std::size_t outLeft = span.size() * sizeof(char16_t);
    const char* in = span.data();
    std::size_t inLeft = span.size();
    while (inLeft > 0 && Get().Convert(in, inLeft, next, outLeft) != 0) {
        std::memcpy(next, &kReplacementCharacter, sizeof kReplacementCharacter);
        next += sizeof kReplacementCharacter;
        outLeft -= sizeof kReplacementCharacter;
        ++in;
        --inLeft;
    }
    return static_cast<std::size_t>(next - first) / sizeof(char16_t);
}

std::pair<char16_t, std::size_t> Cp932Decoder::CharacterAt(std::string_view bytes) {
    if (static_cast<unsigned char>(bytes[0]) < 0x80)
        return {static_cast<char16_t>(bytes[0]), 1};
    // Room for one unit: the conversion stops after the first character.
    char16_t unit = 0;
    char* out = reinterpret_cast<char*>(&unit);
    std::size_t outLeft = sizeof unit;
    const char* in = bytes.data();
    std::size_t inLeft = std::min<std::size_t>(bytes.size(), 2);
    Get().Convert(in, inLeft, out, outLeft);
    const auto used = static_cast<std::size_t>(in - bytes.data());
    return used == 0 ? std::pair{kReplacementCharacter, std::size_t{1}} : std::pair{unit, used};
}
