// A site on 127.0.0.1 where every new connection costs a fixed delay before
// its first response, as the TCP and TLS handshakes with a distant server
// do, while requests on an open connection are answered at once. Its pages
// link to each other with absolute http:// addresses, the only links the
// crawler takes; a site served over https answers those with a redirection
// to the same page over https, as most sites do. Connections and requests
// are counted for each scheme.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

// One server of the site, on a port of its own.
class CostlyServer {
public:
    CostlyServer(std::unique_ptr<httplib::Server> server, std::chrono::milliseconds connectionCost);
    ~CostlyServer();

    httplib::Server& server() { return *server_; }
    bool Start();
    int port() const { return port_; }
    int Connections() const { return connections_; }
    int Requests() const { return requests_; }
    void CountRequest() { ++requests_; }

private:
    std::unique_ptr<httplib::Server> server_;
    std::atomic<int> connections_ = 0;
    std::atomic<int> requests_ = 0;
    int port_ = 0;
    std::thread thread_;
};

class LatencySite {
public:
    // pages pages, "/p0/" on; over https when tls, with the loopback certificate.
    LatencySite(bool tls, int pages, std::chrono::milliseconds connectionCost);

    bool Started() const { return started_; }
    // The address of path over http.
    std::string Url(const std::string& path) const;
    const CostlyServer& http() const { return http_; }
    // The https server, or null.
    const CostlyServer* https() const { return https_.get(); }

private:
    void ServePages(CostlyServer& server, int pages);
    void RedirectTo(const CostlyServer& https);

    CostlyServer http_;
    std::unique_ptr<CostlyServer> https_;
    bool started_ = false;
};
