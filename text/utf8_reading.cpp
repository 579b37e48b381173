// ReadAsUtf8 on the run splitting the screen uses and glibc iconv.
#include "text/utf8_reading.h"

#include "text/iconv_converter.h"
#include "text/text_runs.h"

namespace torvesk::text {

namespace {

// A code page 932 byte gives at most three UTF-8 bytes (a half-width kana),
// a double-byte character at most three for its two.
constexpr std::size_t kUtf8BytesPerCp932Byte = 3;

bool AppendCp932(Converter& decoder, std::string_view stretch, std::string& utf8) {
    const std::size_t start = utf8.size();
    utf8.resize(start + stretch.size() * kUtf8BytesPerCp932Byte);
    char* out = utf8.data() + start;
    std::size_t outLeft = utf8.size() - start;
    const char* in = stretch.data();
    std::size_t inLeft = stretch.size();
    const bool converted = decoder.Convert(in, inLeft, out, outLeft) == 0;
    utf8.resize(utf8.size() - outLeft);
    return converted;
}

} // namespace

std::optional<std::string> ReadAsUtf8(std::string_view bytes) {
    Converter decoder("UTF-8", "CP932");
    std::string utf8;
    bool readable = true;
    ForEachRun(
        bytes,
        [&](ByteRange range) {
            readable = readable && AppendCp932(decoder, Slice(bytes, range), utf8);
        },
        [&](ByteRange range) { utf8.append(Slice(bytes, range)); });
    if (!readable)
        return std::nullopt;
    return utf8;
}

} // namespace torvesk::text
