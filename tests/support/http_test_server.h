// An HTTP server on 127.0.0.1 in a thread of the test process, on a free
// port, for tests that fetch, crawl or drive the window over real sockets.
#pragma once

#include <httplib.h>

#include <string>
#include <thread>

class HttpTestServer {
public:
    HttpTestServer();
    ~HttpTestServer(); // stops the server and joins its thread

    // Register handlers on server() before Start().
    httplib::Server& server() { return server_; }
    void Start();

    int port() const { return port_; }
    // "http://127.0.0.1:<port><path>"
    std::string Url(const std::string& path) const;

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};
