// What every request of the page fetcher carries and the bounds that keep
// any fetch from hanging the crawl; tests shorten them.
#pragma once

#include <cstddef>
#include <string>

constexpr const char* kUserAgent = "WININET Sample Program";

struct FetchLimits {
    long connectTimeoutSeconds = 30;
    long stallTimeoutSeconds = 30; // a transfer that receives nothing this long fails
    long maxRedirections = 20;
    long totalTimeoutSeconds = 120;
    std::size_t maxBodyBytes = 1000000; // the rest of a longer body is not read
    // Certificates (PEM) trusted instead of the system's, for servers with a
    // certificate of their own such as a local test site; empty: the system's.
    std::string trustedCertificates;
};
