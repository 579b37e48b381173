// PageFetcher: FetchPage, one page per call through an HttpClient that
// lives as long as the fetcher, so later pages reuse its connections. Its
// body is bounded to the page capacity; a failure's line goes to the
// reporter it was given. Blocking; the shell runs it off the
// GUI thread, and a cancel flag set from another thread ends it within one
// poll period.
#pragma once

#include "engine/error_reporter.h"
#include "engine/fetch_limits.h"
#include "engine/http_client.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

namespace torvesk::engine {

struct WireUrl;

struct FetchResult {
    std::string body; // empty when the fetch failed
    bool cancelled = false;
    // The line reported, without the program's name; empty unless failed.
    std::string failure;
    long status = 0;               // the final answer's HTTP status; 0 when none came
    long redirections = 0;         // hops followed before the final answer
    std::size_t bytesReceived = 0; // the final answer's body, as kept
};

// One fetch at a time, from one thread at a time.
class PageFetcher {
public:
    // Each failure's line goes to report.
    explicit PageFetcher(const FetchLimits& limits = {},
                         ErrorReporter report = ReportOnStandardError);

    // Fetches url (http or https only, redirections followed, caches
    // bypassed, through the proxy the environment names). A failure gives
    // an empty body and one line reported, naming the URL that failed
    // (its password shown as "***") and why.
    FetchResult FetchPage(const std::string& url, const std::atomic<bool>& cancel);

private:
    struct Outcome;
    Outcome Follow(WireUrl hop, const std::atomic<bool>& cancel);
    HttpResponse Request(const WireUrl& hop, std::chrono::milliseconds timeLeft,
                         const std::atomic<bool>& cancel);

    FetchLimits limits_;
    ErrorReporter report_;
    HttpClient client_;
};

} // namespace torvesk::engine
