// ClientSockets on the kernel's own answers: poll with a zero timeout for
// what arrived on a kept socket, TCP_INFO for when data last arrived and
// whether a connection is up, dup3 to put end-of-file in a socket's place.
#include "engine/client_sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

std::optional<tcp_info> TcpInfo(int socket) {
    tcp_info info{};
    socklen_t length = sizeof info;
    if (getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return std::nullopt;
    return info;
}

bool WasSpokenOn(int socket) {
    pollfd idle{socket, POLLIN | POLLPRI | POLLRDHUP, 0};
    return ::poll(&idle, 1, 0) == 1;
}

// The port and the numeric address of an end of a connection.
struct End {
    int port = -1;
    std::string address;
};

End EndOf(const sockaddr_storage& end) {
    char text[INET6_ADDRSTRLEN] = "";
    if (end.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(end);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        return End{ntohs(v4.sin_port), text};
    }
    if (end.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(end);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        return End{ntohs(v6.sin6_port), text};
    }
    return End{};
}

// getsockname or getpeername of socket.
template <typename Name> End EndOf(int socket, Name name) {
    sockaddr_storage end{};
    socklen_t length = sizeof end;
    if (name(socket, reinterpret_cast<sockaddr*>(&end), &length) != 0)
        return End{};
    return EndOf(end);
}

} // namespace

ClientSockets::ClientSockets() {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        failure_ = std::string("making the end-of-file descriptor failed: ") + std::strerror(errno);
        return;
    }
    ::close(pair[1]);
    deadEnd_ = pair[0];
}

ClientSockets::~ClientSockets() {
    if (deadEnd_ >= 0)
        ::close(deadEnd_);
}

int ClientSockets::Open(int family, int type, int protocol) {
    const int socket = ::socket(family, type | SOCK_CLOEXEC, protocol);
    if (socket < 0)
        return -1;
    sockets_.push_back(socket);
    own_.push_back(socket);
    return socket;
}

int ClientSockets::Close(int socket) {
    std::erase(sockets_, socket);
    std::erase(own_, socket);
    return ::close(socket);
}

void ClientSockets::SilenceSpoken() {
    for (const int socket : sockets_)
        if (WasSpokenOn(socket))
            ::dup3(deadEnd_, socket, O_CLOEXEC);
}

void ClientSockets::BeginTransfer(Clock::time_point start) {
    start_ = start;
    own_.clear();
}

void ClientSockets::UsingConnection(int localPort, const std::string& peerAddress, int peerPort) {
    const auto used = std::find_if(sockets_.begin(), sockets_.end(), [&](int socket) {
        const End peer = EndOf(socket, ::getpeername);
        return EndOf(socket, ::getsockname).port == localPort && peer.port == peerPort &&
               peer.address == peerAddress;
    });
    if (used != sockets_.end())
        own_.assign(1, *used);
}

bool ClientSockets::Connected() const {
    return std::any_of(own_.begin(), own_.end(), [](int socket) {
        const std::optional<tcp_info> info = TcpInfo(socket);
        return info && info->tcpi_state != TCP_SYN_SENT;
    });
}

std::chrono::milliseconds ClientSockets::QuietFor(Clock::time_point now) const {
    Clock::time_point latest = start_;
    for (const int socket : own_)
        if (const std::optional<tcp_info> info = TcpInfo(socket))
            latest = std::max(latest, now - std::chrono::milliseconds(info->tcpi_last_data_recv));
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - latest);
}
