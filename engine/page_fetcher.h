// FetchPage: one HTTP GET through libcurl, its body bounded to the page
// capacity. Blocking; the shell runs it off the GUI thread, and a cancel
// flag set from another thread ends it within one poll period.
#pragma once

#include "engine/fetch_limits.h"

#include <atomic>
#include <string>

struct FetchResult {
    std::string body; // empty when the fetch failed
    bool cancelled = false;
};

// Fetches url (http or https only, redirections followed, caches bypassed).
// A failure gives an empty body and one line on standard error.
FetchResult FetchPage(const std::string& url, const FetchLimits& limits,
                      const std::atomic<bool>& cancel);
