// RequestUrl and RedirectUrl: trimming, the default scheme, the host's ASCII
// form and percent-encoding of what a URL may not hold.
#include "engine/request_url.h"

#include "engine/request_host.h"
#include "engine/url_parts.h"
#include "engine/web_slashes.h"

#include <algorithm>
#include <optional>

namespace torvesk::engine {

namespace {

constexpr std::string_view kUnsafe = "\"<>\\^`{|}";
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kDefaultScheme = "http://";

bool IsControlOrSpace(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view Trim(std::string_view text) {
    const auto first = std::find_if_not(text.begin(), text.end(), IsControlOrSpace);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsControlOrSpace).base();
    return first < last ? std::string_view(first, last) : std::string_view();
}

bool MustEncode(unsigned char byte) {
    return byte <= 0x20 || byte >= 0x7F || kUnsafe.find(static_cast<char>(byte)) != kUnsafe.npos;
}

std::string PercentEncode(std::string_view url) {
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

// "localhost:8080/" and "ftp.example:21/" name a host and a port; only a
// scheme followed by something other than a port number is taken as one.
bool NamesAScheme(std::string_view url) {
    const UrlParts parts = SplitUrl(url);
    if (!parts.scheme)
        return false;
    const std::string_view rest = url.substr(parts.scheme->size() + 1);
    const std::string_view port = rest.substr(0, rest.find_first_of("/?#"));
    return port.empty() ? !rest.empty() : !std::all_of(port.begin(), port.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
}

// An absolute url as sent.
WireUrl Encode(std::string url) {
    const UrlParts parts = SplitUrl(url);
    WireUrl wire;
    wire.scheme = LowerCase(std::string(parts.scheme.value_or("")));
    if (parts.authority) {
        const std::string_view host = HostOf(*parts.authority);
        const std::optional<std::string> name = RequestHost(host);
        wire.hostValid = name.has_value();
        wire.host = LowerCase(PercentEncode(name.value_or(std::string(host))));
        if (name)
            url.replace(host.data() - url.data(), host.size(), *name);
    }
    wire.text = PercentEncode(url);
    return wire;
}

} // namespace

WireUrl RequestUrl(std::string_view url) {
    const std::string_view typed = Trim(url);
    if (typed.empty())
        return WireUrl{};
    return Encode(NamesAScheme(typed) ? WithAuthoritySlashes(typed)
                                      : std::string(kDefaultScheme) + std::string(typed));
}

WireUrl RedirectUrl(std::string_view hop, std::string_view location) {
    const std::string_view reference = Trim(location);
    if (reference.empty())
        return WireUrl{};
    const UrlParts hopParts = SplitUrl(hop);
    return Encode(ResolveReference(hop, AsReference(reference, hopParts.scheme.value_or(""))));
}

std::string UrlForLine(std::string_view url) {
    return WithPasswordHidden(RequestUrl(url).text);
}

} // namespace torvesk::engine
