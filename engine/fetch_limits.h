// What every request of the page fetcher carries and the bounds that keep
// any fetch from hanging the crawl; tests shorten them.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace torvesk::engine {

constexpr const char* kUserAgent = "WININET Sample Program";

struct FetchLimits {
    // Until the connection (and its secure handshake) is up, whatever the
    // name lookup does.
    std::chrono::milliseconds connectTimeout = std::chrono::seconds(30);
    // A transfer whose connection receives nothing this long fails.
    std::chrono::milliseconds stallTimeout = std::chrono::seconds(30);
    long maxRedirections = 20;
    std::chrono::milliseconds totalTimeout = std::chrono::seconds(120);
    std::size_t maxBodyBytes = 1000000; // the rest of a longer body is not read
    // Certificates (PEM) trusted instead of the system's, for servers with a
    // certificate of their own such as a local test site; empty: the system's.
    std::string trustedCertificates;
};

// A bound as an error line names it: "30 s", or "200 ms" when not whole seconds.
inline std::string BoundInWords(std::chrono::milliseconds bound) {
    const auto ms = bound.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

} // namespace torvesk::engine
