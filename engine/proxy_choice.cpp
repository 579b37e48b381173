// ProxyFor: the environment read in libcurl's order, no_proxy matched by
// libcurl's rules (names by their tail, addresses by their network), and
// the proxy named by the host and port libcurl connects to.
#include "engine/proxy_choice.h"

#include "engine/url_parts.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <strings.h>

namespace torvesk::engine {

namespace {

constexpr std::string_view kSeparators = ", \t";
constexpr const char* kDefaultProxyPort = "1080"; // libcurl's, but for an https proxy
constexpr const char* kDefaultHttpsProxyPort = "443";

const char* FirstSet(std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (const char* value = std::getenv(name))
            return value;
    return nullptr;
}

// An IPv4 or IPv6 address as its bytes, with how many of them there are.
struct Address {
    std::array<unsigned char, 16> bytes{};
    std::size_t size = 0;
};

std::optional<Address> ParseAddress(std::string_view text) {
    const bool bracketed = text.starts_with('[') && text.ends_with(']');
    const std::string plain(bracketed ? text.substr(1, text.size() - 2) : text);
    Address address;
    if (!bracketed && inet_pton(AF_INET, plain.c_str(), address.bytes.data()) == 1)
        address.size = 4;
    else if (inet_pton(AF_INET6, plain.c_str(), address.bytes.data()) == 1)
        address.size = 16;
    else
        return std::nullopt;
    return address;
}

// "10.0.0.0/8" holds 10.1.2.3; without "/bits" the whole address must match.
bool InNetwork(const Address& host, std::string_view entry) {
    const std::size_t slash = entry.find('/');
    const std::optional<Address> network = ParseAddress(entry.substr(0, slash));
    if (!network || network->size != host.size)
        return false;
    const int width = static_cast<int>(host.size) * 8;
    const int bits =
        slash == entry.npos ? width : std::atoi(std::string(entry.substr(slash + 1)).c_str());
    if (bits > width)
        return false;
    for (int bit = 0; bit < (bits == 0 ? width : bits); ++bit) {
        const int mask = 0x80 >> (bit % 8);
        if ((host.bytes[bit / 8] & mask) != (network->bytes[bit / 8] & mask))
            return false;
    }
    return true;
}

std::string_view WithoutDots(std::string_view name) {
    if (name.ends_with('.'))
        name.remove_suffix(1);
    if (name.starts_with('.'))
        name.remove_prefix(1);
    return name;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// "example.com" names example.com and www.example.com, not notexample.com.
bool UnderName(std::string_view host, std::string_view entry) {
    const std::string_view name = WithoutDots(entry);
    if (host.ends_with('.'))
        host.remove_suffix(1);
    if (name.empty() || name.size() > host.size())
        return false;
    const std::size_t tail = host.size() - name.size();
    return SameLetters(host.substr(tail), name) && (tail == 0 || host[tail - 1] == '.');
}

bool NoProxyNames(std::string_view list, std::string_view host) {
    if (list == "*")
        return true;
    const std::optional<Address> address = ParseAddress(host);
    while (!list.empty()) {
        const std::size_t end = std::min(list.find_first_of(kSeparators), list.size());
        const std::string_view entry = list.substr(0, end);
        list.remove_prefix(std::min(end + 1, list.size()));
        if (!entry.empty() && (address ? InNetwork(*address, entry) : UnderName(host, entry)))
            return true;
    }
    return false;
}

// "host:port" of a proxy URL ("[::1]:3128", "proxy.example:1080"), with
// libcurl's default port when it names none.
std::string NameOf(std::string_view url) {
    const bool hasScheme = url.find("://") != url.npos;
    const std::string full = hasScheme ? std::string(url) : "http://" + std::string(url);
    const UrlParts parts = SplitUrl(full);
    const std::string_view authority = parts.authority.value_or("");
    const std::string_view host = HostOf(authority);
    const std::size_t after = host.data() + host.size() - authority.data();
    const std::string_view port = authority.substr(std::min(after + 1, authority.size()));
    const bool https = SameLetters(parts.scheme.value_or(""), "https");
    return std::string(host) + ":" +
           (port.empty() ? (https ? kDefaultHttpsProxyPort : kDefaultProxyPort)
                         : std::string(port));
}

} // namespace

std::optional<Proxy> ProxyFor(std::string_view scheme, std::string_view host) {
    const char* noProxy = FirstSet({"no_proxy", "NO_PROXY"});
    if (noProxy && NoProxyNames(noProxy, host))
        return std::nullopt;
    const char* own =
        scheme == "https" ? FirstSet({"https_proxy", "HTTPS_PROXY"}) : std::getenv("http_proxy");
    const char* proxy = own ? own : FirstSet({"all_proxy", "ALL_PROXY"});
    if (!proxy || *proxy == '\0')
        return std::nullopt;
    return Proxy{proxy, NameOf(proxy)};
}

} // namespace torvesk::engine
