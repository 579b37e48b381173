// A site on 127.0.0.1 whose every connection misbehaves in one chosen way
// (or none),
// each a way a keep-alive server can shift answers onto the wrong request
// or break a reused connection. Page /pN has the title "T-pN", so that a
// record holding another page's answer is plain to see.
#pragma once

#include "engine/loopback_server.h"

#include <string>

enum class Hostility {
    None,               // a well-behaved server, for the connections kept
    StrayResponse,      // a whole extra response 1 ms after each page
    Http10KeepAlive,    // the same, as an HTTP/1.0 server that keeps connections
    NoContentLateBytes, // a 204, then 3 ms later bytes that belong to nothing
    ResetOnReuse,       // a reset once a reused connection's request is read
    CloseAfterResponse, // a close 2 ms after each response
    ShortLength,        // a Content-Length 10 bytes short, the tail 1 ms later
};

class HostileSite {
public:
    explicit HostileSite(Hostility hostility);

    std::string Url(int page) const { return server_.Url("/p" + std::to_string(page)); }
    // The title a true record of page holds: none for a 204.
    std::string TitleOf(int page) const;
    int Connections() const { return server_.Connections(); }

private:
    void Serve(ServerConnection& connection);

    const Hostility hostility_;
    LoopbackServer server_; // last: its handlers use the members above
};

// Every name, for the report.
const char* NameOf(Hostility hostility);
