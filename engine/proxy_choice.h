// The proxy a request goes through, chosen from the environment as libcurl
// would choose it. The client hands libcurl this choice instead of letting
// it read the environment, so that the proxy an error line names is always
// the one that was used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvesk::engine {

struct Proxy {
    std::string url;  // as configured, for libcurl
    std::string name; // "host:port", for error lines: never a user name or password
};

// The proxy for a request to host (as sent, lower-case, an IPv6 literal in
// brackets) over scheme ("http" or "https"): from http_proxy for http;
// https_proxy, or else HTTPS_PROXY, for https; or else from all_proxy or
// ALL_PROXY. HTTP_PROXY is never read, as libcurl never reads it. Nothing
// when the value found is empty or no_proxy (or NO_PROXY) names the host.
std::optional<Proxy> ProxyFor(std::string_view scheme, std::string_view host);

} // namespace torvesk::engine
