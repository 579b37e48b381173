// HTTP GETs on libcurl that keep what makes the next request cheap, as a
// browser does: open keep-alive connections, DNS answers and TLS sessions.
// Each request is bounded and cancellable and follows no redirection: the
// page fetcher follows them itself, so that every target is sent the way a
// link is.
#pragma once

#include "engine/fetch_limits.h"

#include <atomic>
#include <memory>
#include <string>

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

    // Gets url (http or https only) within timeoutMs and the stall and
    // connect bounds; caches are bypassed and nothing is decoded. A transfer
    // that ends early (cancelled, stalled, capped, failed) closes its
    // connection, so no later request reads what it left.
    HttpResponse Get(const std::string& url, long timeoutMs, const std::atomic<bool>& cancel);

private:
    struct Handles;

    FetchLimits limits_;
    std::unique_ptr<Handles> handles_; // null when libcurl could not be set up
};
