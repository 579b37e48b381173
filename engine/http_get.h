// One HTTP GET on libcurl, bounded and cancellable, that does not follow
// redirections: the page fetcher follows them itself, so that every target
// is encoded the way a link is.
#pragma once

#include "engine/fetch_limits.h"

#include <atomic>
#include <string>

struct HttpResponse {
    std::string error; // libcurl's message; empty when the transfer completed
    bool cancelled = false;
    long status = 0;
    std::string location; // the Location header as sent, empty when none
    std::string body;     // at most limits.maxBodyBytes
};

// Gets url within timeoutMs, the stall bound and the connect bound of
// limits, http and https only; caches are bypassed and nothing is decoded.
HttpResponse HttpGet(const std::string& url, const FetchLimits& limits, long timeoutMs,
                     const std::atomic<bool>& cancel);
