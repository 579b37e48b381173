// LatencySite on cpp-httplib: each server's task queue, which runs each
// accepted connection, waits the connection's cost before serving it (for
// https, before the handshake).
#include "bench/latency_site.h"

namespace {

constexpr int kServerThreads = 8;
constexpr int kLinksPerPage = 10;
constexpr int kRequestsPerConnection = 100000; // never the reason to close one

class CostlyConnections : public httplib::ThreadPool {
public:
    CostlyConnections(std::chrono::milliseconds cost, std::atomic<int>& connections)
        : httplib::ThreadPool(kServerThreads), cost_(cost), connections_(connections) {}

    void enqueue(std::function<void()> serve) override {
        ++connections_;
        httplib::ThreadPool::enqueue([serve = std::move(serve), cost = cost_] {
            std::this_thread::sleep_for(cost);
            serve();
        });
    }

private:
    const std::chrono::milliseconds cost_;
    std::atomic<int>& connections_;
};

} // namespace

CostlyServer::CostlyServer(std::unique_ptr<httplib::Server> server,
                           std::chrono::milliseconds connectionCost)
    : server_(std::move(server)) {
    server_->new_task_queue = [this, connectionCost] {
        return new CostlyConnections(connectionCost, connections_);
    };
    server_->set_keep_alive_max_count(kRequestsPerConnection);
    // A reply's head and body go out at once, not held back for an ACK.
    server_->set_tcp_nodelay(true);
}

CostlyServer::~CostlyServer() {
    server_->stop();
    if (thread_.joinable())
        thread_.join();
}

bool CostlyServer::Start() {
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0)
        return false;
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

LatencySite::LatencySite(bool tls, int pages, std::chrono::milliseconds connectionCost)
    : http_(std::make_unique<httplib::Server>(), connectionCost) {
    if (tls) {
        https_ =
            std::make_unique<CostlyServer>(std::make_unique<httplib::SSLServer>(
                                               TORVESK_LOOPBACK_CERTIFICATE, TORVESK_LOOPBACK_KEY),
                                           connectionCost);
        ServePages(*https_, pages);
        RedirectTo(*https_);
    } else {
        ServePages(http_, pages);
    }
    started_ = http_.Start() && (!https_ || https_->Start());
}

std::string LatencySite::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(http_.port()) + path;
}

void LatencySite::ServePages(CostlyServer& server, int pages) {
    server.server().Get(R"(/p(\d+)/)", [this, &server, pages](const httplib::Request& request,
                                                              httplib::Response& response) {
        server.CountRequest();
        const int page = std::stoi(request.matches[1]);
        std::string body = "<html><title>Page " + std::to_string(page) + "</title><body>\n";
        for (int k = 1; k <= kLinksPerPage; ++k)
            body += "<a href=\"" + Url("/p" + std::to_string((page * 7 + k * 13) % pages) + "/") +
                    "\">link " + std::to_string(k) + "</a>\n";
        response.set_content(body + "</body></html>\n", "text/html");
    });
}

void LatencySite::RedirectTo(const CostlyServer& https) {
    http_.server().Get(".*", [this, &https](const httplib::Request& request,
                                            httplib::Response& response) {
        http_.CountRequest();
        response.set_redirect("https://127.0.0.1:" + std::to_string(https.port()) + request.path,
                              301);
    });
}
