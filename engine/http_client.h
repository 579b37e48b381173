// HTTP GETs on libcurl that keep what makes the next request cheap, as a
// browser does: open keep-alive connections, DNS answers and TLS sessions.
// Like a browser, it trusts a kept connection only while nothing has arrived
// on it since its response ended, and no sooner than a moment after; a
// server that has sent bytes for no request gets a new connection for every
// later request. A request that a reused connection answers with a 408, or
// breaks before any byte of a status line, goes out once more on a new one. Each request is bounded
// and cancellable and follows no redirection: the page fetcher follows them itself, so that every
// target is sent the way a link is.
#pragma once

#include "engine/fetch_limits.h"
#include "engine/proxy_choice.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace torvesk::engine {

// Idle connections kept open for later requests; the oldest is closed first.
constexpr long kMaxKeptConnections = 8;

struct HttpResponse {
    std::string error; // why the transfer failed, in plain words; empty when it completed
    bool cancelled = false;
    long status = 0;
    std::string location; // the Location header as sent, empty when none
    std::string body;     // at most limits.maxBodyBytes
};

// One request at a time. It may be used from any thread, but from one at a
// time; only the cancel flag is shared.
class HttpClient {
public:
    explicit HttpClient(const FetchLimits& limits);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Gets url (http or https only, over HTTP/1.1) through proxy, or
    // directly when there is none, within timeout and the stall and
    // connect bounds; caches are bypassed and nothing is decoded. A
    // transfer that ends early (cancelled, stalled, capped, failed) closes
    // its connection. Neither bound waits for a name lookup: a lookup still
    // running is left to end on its own.
    HttpResponse Get(const std::string& url, const std::optional<Proxy>& proxy,
                     std::chrono::milliseconds timeout, const std::atomic<bool>& cancel);

private:
    struct Handles;

    FetchLimits limits_;
    std::unique_ptr<Handles> handles_;
};

} // namespace torvesk::engine
