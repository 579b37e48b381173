// Code page 932 conversion on glibc iconv. Decoding never loses a byte
// silently: what does not decode becomes U+FFFD. Encoding stops before the
// first character that would pass the byte limit, so a double-byte
// character is never cut in half.
#include "display/cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";
constexpr std::size_t kDecodeChunk = 256;

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
public:
    Converter(const char* to, const char* from) : descriptor(iconv_open(to, from)) {}
    ~Converter() {
        if (IsOpen())
            iconv_close(descriptor);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts what fits; returns 0 when all input is done, else iconv's errno.
    int Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        if (!IsOpen())
            return EBADF;
        char* input = const_cast<char*>(in); // iconv's signature; it never writes there
        std::size_t result = iconv(descriptor, &input, &inLeft, &out, &outLeft);
        in = input;
        return result == static_cast<std::size_t>(-1) ? errno : 0;
    }

private:
    bool IsOpen() const { return descriptor != reinterpret_cast<iconv_t>(-1); }

    iconv_t descriptor;
};

// Bytes taken by the UTF-8 character at text: its lead byte and the
// continuation bytes that follow, so a broken sequence costs one byte.
std::size_t Utf8CharacterLength(const char* text, std::size_t left) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    std::size_t length = 1;
    while (length < expected && length < left &&
           (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

} // namespace

std::string Cp932ToUtf8(const char* bytes, std::size_t length) {
    std::string text;
    if (!bytes)
        return text;
    Converter converter("UTF-8", "CP932");
    char chunk[kDecodeChunk];
    while (length > 0) {
        char* out = chunk;
        std::size_t outLeft = sizeof chunk;
        const int error = converter.Convert(bytes, length, out, outLeft);
        text.append(chunk, out - chunk);
        if (error != 0 && error != E2BIG) {
            text += kReplacementUtf8;
            ++bytes;
            --length;
        }
    }
    return text;
}

std::string Utf8ToCp932(const std::string& text, std::size_t maxBytes) {
    // No character takes more bytes in code page 932 than in UTF-8.
    std::string bytes(std::min(maxBytes, text.size()), '\0');
    Converter converter("CP932", "UTF-8");
    const char* in = text.data();
    std::size_t inLeft = text.size();
    char* out = bytes.data();
    std::size_t outLeft = bytes.size();
    while (inLeft > 0) {
        const int error = converter.Convert(in, inLeft, out, outLeft);
        if (error == 0 || error == E2BIG || outLeft == 0)
            break;
        *out++ = '?';
        --outLeft;
        const std::size_t skipped = Utf8CharacterLength(in, inLeft);
        in += skipped;
        inLeft -= skipped;
    }
    bytes.resize(out - bytes.data());
    return bytes;
}
