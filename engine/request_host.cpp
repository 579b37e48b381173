// RequestHost on libidn2, called with UTF-8 so that the result never
// depends on the process's locale.
#include "engine/request_host.h"

#include "text/utf8_reading.h"

#include <idn2.h>

#include <algorithm>
#include <memory>

using namespace torvesk::text;

namespace torvesk::engine {

namespace {

// Bytes that would end or split the host if a decoded name held them.
constexpr std::string_view kNotInAName = ":/?#[]@%\\";
constexpr std::size_t kMaxLabelBytes = 63;

struct Idn2Free {
    void operator()(char* name) const { idn2_free(name); }
};
using Idn2Name = std::unique_ptr<char, Idn2Free>;

bool IsPlainAscii(std::string_view host) {
    return std::all_of(host.begin(), host.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '%'; });
}

int HexValue(char digit) {
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

// "%XX" becomes the byte it stands for; a "%" without two hex digits stays.
std::string PercentDecode(std::string_view text) {
    std::string bytes;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const int high = text[at] == '%' && at + 2 < text.size() ? HexValue(text[at + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[at + 2]) : -1;
        if (low < 0) {
            bytes += text[at];
            continue;
        }
        bytes += static_cast<char>(high * 16 + low);
        at += 2;
    }
    return bytes;
}

// The ASCII form; names that the current rules disallow but the older ones
// allowed (such as some symbols) fall back to the older rules, as browsers do.
std::optional<std::string> ToAscii(const std::string& utf8) {
    const auto* input = reinterpret_cast<const uint8_t*>(utf8.c_str());
    uint8_t* output = nullptr;
    int result = idn2_lookup_u8(input, &output, IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL);
    if (result == IDN2_DISALLOWED)
        result = idn2_lookup_u8(input, &output, IDN2_NFC_INPUT | IDN2_TRANSITIONAL);
    const Idn2Name name(reinterpret_cast<char*>(output));
    if (result != IDN2_OK || !name)
        return std::nullopt;
    return std::string(name.get());
}

bool IsName(std::string_view name) {
    return !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) <= 0x20 || kNotInAName.find(c) != kNotInAName.npos;
    });
}

bool IsAcePrefixAlone(std::string_view label) {
    return label.size() == 4 && (label[0] | 0x20) == 'x' && (label[1] | 0x20) == 'n' &&
           label.substr(2) == "--";
}

// What the DNS can hold and a host name may be: labels of 1 to 63 bytes
// (the name may end in one dot), none starting with a hyphen, which a
// resolver could take for an option, and an international label never an
// empty "xn--".
bool CanBeLookedUp(std::string_view name) {
    if (name.ends_with('.'))
        name.remove_suffix(1);
    for (std::size_t start = 0; start <= name.size();) {
        const std::size_t end = std::min(name.find('.', start), name.size());
        const std::string_view label = name.substr(start, end - start);
        if (label.empty() || label.size() > kMaxLabelBytes || label.front() == '-' ||
            IsAcePrefixAlone(label))
            return false;
        start = end + 1;
    }
    return true;
}

std::optional<std::string> InternationalName(std::string_view host) {
    const std::optional<std::string> utf8 = ReadAsUtf8(PercentDecode(host));
    std::optional<std::string> name = utf8 ? ToAscii(*utf8) : std::nullopt;
    if (!name || !IsName(*name))
        return std::nullopt;
    return name;
}

} // namespace

std::optional<std::string> RequestHost(std::string_view host) {
    if (host.empty() || host.starts_with('['))
        return std::string(host);
    std::optional<std::string> name =
        IsPlainAscii(host) ? std::string(host) : InternationalName(host);
    if (!name || !CanBeLookedUp(*name))
        return std::nullopt;
    return name;
}

} // namespace torvesk::engine
