// A site on 127.0.0.1 whose kept connections misbehave the way some servers
// do, each connection in its turn: one sends a 408 and closes once it has
// been idle for 50 ms, the next a stray CR LF after each response, the next
// a whole response nobody asked for 50 to 300 ms after a response, the next
// a Content-Length 10 bytes short with the tail 1 ms later, the next a reset
// once it is reused, and so on. Its pages link to each other with
// absolute http:// addresses; page n has the title "Page n".
#pragma once

#include "engine/loopback_server.h"

#include <atomic>
#include <optional>
#include <string>

class MisbehavingSite {
public:
    explicit MisbehavingSite(int pages);

    // The address of path ("/p0/").
    std::string Url(const std::string& path) const { return server_.Url(path); }
    // The title of the page at url, or nothing when url is none of its pages.
    std::optional<std::string> TitleAt(const std::string& url) const;
    int Connections() const { return server_.Connections(); }
    int Requests() const { return requests_; }

private:
    void Serve(ServerConnection& connection);
    std::string Page(const std::string& target) const;

    const int pages_;
    std::atomic<int> requests_ = 0;
    LoopbackServer server_; // last: its handlers use the members above
};
