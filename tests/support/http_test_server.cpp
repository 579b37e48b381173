// The in-process HTTP server for tests: binds a free port on 127.0.0.1,
// serves from its own thread, and stops and joins when it goes away. Each
// accepted connection runs as one task of the server's pool, which closes
// it when the task ends: counting the tasks counts the open connections.
#include "support/http_test_server.h"

#include <gtest/gtest.h>

namespace {

constexpr auto kStartDeadline = std::chrono::seconds(5);

} // namespace

class HttpTestServer::CountedConnections : public httplib::ThreadPool {
public:
    explicit CountedConnections(HttpTestServer& owner)
        : httplib::ThreadPool(CPPHTTPLIB_THREAD_POOL_COUNT), owner_(owner) {}

    void enqueue(std::function<void()> serve) override {
        owner_.Count(+1);
        httplib::ThreadPool::enqueue([this, serve = std::move(serve)] {
            serve();
            owner_.Count(-1);
        });
    }

private:
    HttpTestServer& owner_;
};

// A reply's head and body go out in separate writes; held back until the
// first is acknowledged, the body of a small page would wait for the client's
// delayed acknowledgement on every kept-alive request, as real servers
// avoid. The accept loop makes its pool once it counts as running, which is
// when stop() can end it.
HttpTestServer::HttpTestServer() {
    server_.set_tcp_nodelay(true);
    server_.new_task_queue = [this] {
        {
            std::lock_guard lock(mutex_);
            accepting_ = true;
        }
        changed_.notify_all();
        return new CountedConnections(*this);
    };
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
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, kStartDeadline, [this] { return accepting_; }) ||
        !server_.is_running())
        ADD_FAILURE() << "test server on port " << port_ << " did not start";
}

std::string HttpTestServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool HttpTestServer::WaitForOpenConnectionsAtMost(int count, std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, bound, [&] { return openConnections_ <= count; });
}

void HttpTestServer::Count(int change) {
    {
        std::lock_guard lock(mutex_);
        openConnections_ += change;
    }
    changed_.notify_all();
}
