// The reference code page 932 conversions, one iconv call at a time.
#include "support/cp932_reference.h"

#include "text/iconv_converter.h"

#include <cstring>

using namespace torvesk::text;

namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";
constexpr std::size_t kChunk = 256;

// Converts all of bytes, putting replacement in place of each byte that
// does not convert.
std::string ConvertAll(const char* to, const char* from, const std::string& bytes,
                       const std::string& replacement) {
    Converter converter(to, from);
    std::string text;
    const char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char chunk[kChunk];
    while (inLeft > 0) {
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        const int error = converter.Convert(in, inLeft, out, outLeft);
        text.append(chunk, out - chunk);
        if (error != 0 && error != E2BIG) {
            text += replacement;
            ++in;
            --inLeft;
        }
    }
    return text;
}

} // namespace

std::string Cp932ToUtf8(const std::string& bytes) {
    return ConvertAll("UTF-8", "CP932", bytes, kReplacementUtf8);
}

std::u16string Cp932ToUtf16(const std::string& bytes) {
    const char16_t replacement = 0xFFFD;
    const std::string units =
        ConvertAll(kNativeUtf16, "CP932", bytes,
                   std::string(reinterpret_cast<const char*>(&replacement), sizeof replacement));
    std::u16string text(units.size() / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), units.data(), units.size());
    return text;
}

std::string Utf8ToCp932(const std::string& utf8) {
    return ConvertAll("CP932", "UTF-8", utf8, "?");
}
