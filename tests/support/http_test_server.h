// An HTTP server on 127.0.0.1 in a thread of the test process, on a free
// port, for tests that fetch, crawl or drive the window over real sockets.
// It knows how many connections it holds open, for tests that wait until
// it has closed its side of those a client left.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
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

    // Waits, at most bound, until the server holds at most count connections
    // open; returns whether it came to that.
    bool WaitForOpenConnectionsAtMost(int count, std::chrono::milliseconds bound);

private:
    class CountedConnections;
    void Count(int change); // connections opened (+1) or closed (-1)

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool accepting_ = false;
    int openConnections_ = 0;
};
