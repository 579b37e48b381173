// A TCP server on 127.0.0.1 that speaks raw bytes, in the clear or over
// TLS: each connection is served on a thread of its own by a handler the
// caller writes, which reads requests and sends whatever it likes. So a
// test, a fuzz target or a benchmark can send what no well-behaved server
// sends: stray bytes after a response, a late second response, a 408 on an
// idle connection, a close or a reset instead of a reply.
#pragma once

#include <openssl/ssl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Binds socket to a free port on 127.0.0.1, and makes it listen unless
// told not to; the port, or 0 when that failed.
int BindToLoopback(int socket, bool listening = true);

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};

class ServerConnection {
public:
    // Over TLS when ssl is given; its handshake is done.
    ServerConnection(int socket, int index, std::unique_ptr<SSL, SslFree> ssl)
        : socket_(socket), index_(index), ssl_(std::move(ssl)) {}

    // The target of the next request ("/a?b", or "host:443" for a CONNECT)
    // once its head has come in whole; nothing when the client closed the
    // connection, or sent no whole head within limit.
    std::optional<std::string> NextRequest(std::chrono::milliseconds limit);
    // Sends all of bytes; false when the connection took not all of them.
    bool Send(std::string_view bytes);
    // Ends the connection with a close (FIN), or with a reset (RST).
    void Close();
    void Reset();

    // 0 for the server's first connection, 1 for the next, and so on.
    int index() const { return index_; }

private:
    bool Receive(std::chrono::milliseconds limit);

    int socket_;
    int index_;
    std::unique_ptr<SSL, SslFree> ssl_;
    std::string received_; // bytes past the heads taken so far
};

class LoopbackServer {
public:
    using Handler = std::function<void(ServerConnection&)>;

    explicit LoopbackServer(Handler handler);
    // Over TLS, with the certificate and key in these PEM files.
    LoopbackServer(Handler handler, const char* certificateFile, const char* keyFile);
    // Ends every connection still open (a handler waiting for a request
    // gets none) and waits for the handlers.
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port><path>", or https:// over TLS.
    std::string Url(const std::string& path) const;
    int Connections() const { return connections_; }

private:
    void Listen();
    void Accept();
    void Serve(int socket, int index);

    Handler handler_;
    std::unique_ptr<SSL_CTX, SslFree> tls_; // null in the clear
    int listener_;
    int port_ = 0;
    std::atomic<int> connections_ = 0;
    std::mutex mutex_;
    std::vector<int> open_; // connections' sockets, closed when the server goes
    std::vector<std::thread> handlers_;
    std::thread accepting_;
};
