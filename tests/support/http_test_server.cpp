// The in-process HTTP server for tests: binds a free port on 127.0.0.1,
// serves from its own thread, and stops and joins when it goes away.
#include "support/http_test_server.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

constexpr auto kStartDeadline = std::chrono::seconds(5);
constexpr auto kStartPoll = std::chrono::milliseconds(1);

} // namespace

// A reply's head and body go out in separate writes; held back until the
// first is acknowledged, the body of a small page would wait for the client's
// delayed acknowledgement on every kept-alive request, as real servers
// avoid.
HttpTestServer::HttpTestServer() {
    server_.set_tcp_nodelay(true);
}

HttpTestServer::~HttpTestServer() {
    // stop() only acts once the accept loop runs; Start() waited for that.
    server_.stop();
    if (thread_.joinable())
        thread_.join();
}

void HttpTestServer::Start() {
    if (thread_.joinable()) {
        ADD_FAILURE() << "HttpTestServer::Start called twice";
        return;
    }
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        ADD_FAILURE() << "test server could not bind a port on 127.0.0.1";
        port_ = 0;
        return;
    }
    thread_ = std::thread([this] { server_.listen_after_bind(); });

    const auto deadline = std::chrono::steady_clock::now() + kStartDeadline;
    while (!server_.is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kStartPoll);
    if (!server_.is_running())
        ADD_FAILURE() << "test server on port " << port_ << " did not start";
}

std::string HttpTestServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}
