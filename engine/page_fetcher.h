// FetchPage: one HTTP GET through libcurl, its body bounded to the page
// capacity. Blocking; the shell runs it off the GUI thread, and a cancel
// flag set from another thread ends it within one poll period.
#pragma once

#include <atomic>
#include <string>

constexpr const char* kUserAgent = "WININET Sample Program";

// Bounds that keep any fetch from hanging the crawl; tests shorten them.
struct FetchLimits {
    long connectTimeoutSeconds = 30;
    long stallTimeoutSeconds = 30; // a transfer that receives nothing this long fails
    long maxRedirections = 20;
    long totalTimeoutSeconds = 120;
    std::size_t maxBodyBytes = 1000000; // the rest of a longer body is not read
};

struct FetchResult {
    std::string body; // empty when the fetch failed
    bool cancelled = false;
};

// Fetches url (http or https only, redirections followed, caches bypassed).
// A failure gives an empty body and one line on standard error.
FetchResult FetchPage(const std::string& url, const FetchLimits& limits,
                      const std::atomic<bool>& cancel);
