// LoopbackServer on plain sockets and OpenSSL: accept() on a thread that a
// shutdown of the listening socket ends, and each connection's handler on a
// thread of its own. A connection's socket stays open, if shut down, until
// the server goes, so no descriptor number is closed twice.
#include "engine/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kHeadEnd = "\r\n\r\n";
constexpr std::size_t kReadSize = 4096;
constexpr int kBacklog = 16;

// The second word of a request line.
std::string TargetOf(std::string_view head) {
    const std::size_t start = head.find(' ') + 1;
    return std::string(head.substr(start, head.find_first_of(" \r", start) - start));
}

bool Readable(int socket, std::chrono::milliseconds limit) {
    pollfd readable{socket, POLLIN, 0};
    return limit.count() > 0 && ::poll(&readable, 1, static_cast<int>(limit.count())) == 1;
}

} // namespace

int BindToLoopback(int socket, bool listening) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (socket >= 0 && ::bind(socket, raw, length) == 0 &&
        ::getsockname(socket, raw, &length) == 0 && (!listening || ::listen(socket, kBacklog) == 0))
        return ntohs(address.sin_port);
    return 0;
}

// Appends what arrives within limit; false when nothing more will.
bool ServerConnection::Receive(std::chrono::milliseconds limit) {
    char bytes[kReadSize];
    if (!(ssl_ && SSL_pending(ssl_.get()) > 0) && !Readable(socket_, limit))
        return false;
    const int read = ssl_ ? SSL_read(ssl_.get(), bytes, sizeof bytes)
                          : static_cast<int>(::recv(socket_, bytes, sizeof bytes, 0));
    if (read <= 0)
        return false;
    received_.append(bytes, static_cast<std::size_t>(read));
    return true;
}

std::optional<std::string> ServerConnection::NextRequest(std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (received_.find(kHeadEnd) == std::string::npos)
        if (!Receive(
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())))
            return std::nullopt;
    const std::size_t end = received_.find(kHeadEnd) + kHeadEnd.size();
    const std::string target = TargetOf(received_.substr(0, end));
    received_.erase(0, end);
    return target;
}

bool ServerConnection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const int size = static_cast<int>(bytes.size());
        const int sent =
            ssl_ ? SSL_write(ssl_.get(), bytes.data(), size)
                 : static_cast<int>(::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL));
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

void ServerConnection::Close() {
    if (ssl_)
        SSL_shutdown(ssl_.get());
    ::shutdown(socket_, SHUT_RDWR);
}

// Disconnecting a TCP socket (connect to AF_UNSPEC) resets its connection
// and leaves the descriptor open.
void ServerConnection::Reset() {
    sockaddr unspecified{};
    unspecified.sa_family = AF_UNSPEC;
    ::connect(socket_, &unspecified, sizeof unspecified);
}

LoopbackServer::LoopbackServer(Handler handler)
    : handler_(std::move(handler)), listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    Listen();
}

LoopbackServer::LoopbackServer(Handler handler, const char* certificateFile, const char* keyFile)
    : handler_(std::move(handler)), tls_(SSL_CTX_new(TLS_server_method())),
      listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    if (tls_) {
        SSL_CTX_use_certificate_chain_file(tls_.get(), certificateFile);
        SSL_CTX_use_PrivateKey_file(tls_.get(), keyFile, SSL_FILETYPE_PEM);
    }
    Listen();
}

LoopbackServer::~LoopbackServer() {
    ::shutdown(listener_, SHUT_RDWR);
    accepting_.join();
    {
        std::lock_guard lock(mutex_);
        for (const int socket : open_)
            ::shutdown(socket, SHUT_RDWR);
    }
    for (std::thread& handler : handlers_)
        handler.join();
    for (const int socket : open_)
        ::close(socket);
    ::close(listener_);
}

std::string LoopbackServer::Url(const std::string& path) const {
    return (tls_ ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(port_) + path;
}

void LoopbackServer::Listen() {
    port_ = BindToLoopback(listener_);
    accepting_ = std::thread([this] { Accept(); });
}

// Ends when the listening socket is shut down. Each piece a handler sends
// goes out at once, not held back for an acknowledgement: bytes sent are
// then already at the client's end of a loopback connection.
void LoopbackServer::Accept() {
    for (int socket; (socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        const int noDelay = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
        std::lock_guard lock(mutex_);
        open_.push_back(socket);
        handlers_.emplace_back([this, socket, index = connections_++] { Serve(socket, index); });
    }
}

// Over TLS, a connection whose handshake fails is not served.
void LoopbackServer::Serve(int socket, int index) {
    std::unique_ptr<SSL, SslFree> ssl(tls_ ? SSL_new(tls_.get()) : nullptr);
    if (tls_ && !(ssl && SSL_set_fd(ssl.get(), socket) == 1 && SSL_accept(ssl.get()) == 1))
        return;
    ServerConnection connection(socket, index, std::move(ssl));
    handler_(connection);
}
