// WithAuthoritySlashes and AsReference: the scheme found, the run of slashes
// and backslashes after it measured, and the address rewritten around it.
#include "engine/web_slashes.h"

#include "engine/url_parts.h"

#include <algorithm>
#include <strings.h>

namespace torvesk::engine {

namespace {

bool SameScheme(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsWebScheme(std::string_view scheme) {
    return SameScheme(scheme, "http") || SameScheme(scheme, "https");
}

// An address cut after its scheme's ":" and after the slashes that follow.
struct WebAddress {
    std::string_view scheme;
    std::size_t slashes = 0;
    std::string_view rest;
};

bool SplitWeb(std::string_view url, WebAddress& address) {
    const UrlParts parts = SplitUrl(url);
    if (!parts.scheme || !IsWebScheme(*parts.scheme))
        return false;
    std::string_view after = url.substr(parts.scheme->size() + 1);
    const auto run =
        std::find_if(after.begin(), after.end(), [](char c) { return c != '/' && c != '\\'; });
    address.scheme = *parts.scheme;
    address.slashes = static_cast<std::size_t>(run - after.begin());
    address.rest = after.substr(address.slashes);
    return true;
}

std::string Joined(std::string_view a, std::string_view b, std::string_view c = "") {
    std::string joined(a);
    joined += b;
    joined += c;
    return joined;
}

} // namespace

std::string WithAuthoritySlashes(std::string_view url) {
    WebAddress address;
    if (!SplitWeb(url, address))
        return std::string(url);
    return Joined(address.scheme, "://", address.rest);
}

std::string AsReference(std::string_view reference, std::string_view hopScheme) {
    WebAddress address;
    if (!SplitWeb(reference, address))
        return std::string(reference);
    if (strncasecmp(address.scheme.data(), std::string(hopScheme).c_str(), address.scheme.size()) !=
            0 ||
        address.scheme.size() != hopScheme.size() || address.slashes >= 2)
        return Joined(address.scheme, "://", address.rest);
    if (address.slashes == 1)
        return Joined("/", address.rest);
    const bool keepsPath =
        address.rest.empty() || address.rest.starts_with('?') || address.rest.starts_with('#');
    return keepsPath ? std::string(address.rest) : Joined("./", address.rest);
}

} // namespace torvesk::engine
