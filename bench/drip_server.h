// A page on 127.0.0.1 that trickles in: its body goes out in chunks, one a
// second, so downloading it takes about as many seconds as there are chunks.
#pragma once

#include "support/http_test_server.h"

#include <string>

class DripServer {
public:
    // Serves the page in `seconds` chunks (one byte each once the page is at
    // least that long); starts serving at once.
    explicit DripServer(int seconds);

    bool Started() const { return server_.port() > 0; }
    std::string PageUrl() const { return server_.Url("/drip"); }

private:
    // The chunk that starts at offset ends here.
    std::size_t ChunkEnd(std::size_t offset) const;

    std::string page_;
    int seconds_;
    HttpTestServer server_; // last: it stops before what its handler reads goes
};
