// The servers, by address and port, whose kept connections have shown that
// they cannot be trusted: bytes that belong to no request, or an answer that
// is not HTTP where one was due. A server in this list is sent every later
// request on a new connection, for the rest of the client's life.
#pragma once

#include <set>
#include <string>
#include <utility>

namespace torvesk::engine {

class DistrustedPeers {
public:
    void Distrust(const std::string& address, int port) { peers_.emplace(address, port); }
    bool Distrusts(const std::string& address, int port) const {
        return peers_.contains({address, port});
    }

private:
    std::set<std::pair<std::string, int>> peers_;
};

} // namespace torvesk::engine
