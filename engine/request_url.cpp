// RequestUrl: percent-encoding what a URL may not hold. The host is encoded
// like the rest: libcurl decodes a percent-encoded host name before it turns
// an international name into its ASCII form.
#include "engine/request_url.h"

namespace {

constexpr std::string_view kUnsafe = "\"<>\\^`{|}";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool MustEncode(unsigned char byte) {
    return byte <= 0x20 || byte >= 0x7F || kUnsafe.find(static_cast<char>(byte)) != kUnsafe.npos;
}

} // namespace

std::string RequestUrl(std::string_view url) {
    std::string encoded;
    encoded.reserve(url.size());
    for (const char character : url) {
        const auto byte = static_cast<unsigned char>(character);
        if (!MustEncode(byte)) {
            encoded += character;
            continue;
        }
        encoded += '%';
        encoded += kHexDigits[byte >> 4];
        encoded += kHexDigits[byte & 0x0F];
    }
    return encoded;
}
