// ClientSockets on the kernel's own answers: poll with a zero timeout and a
// peek for what arrived on a kept socket, TCP_INFO for when data last
// arrived and whether a connection is up, dup3 to put end-of-file in a
// socket's place.
#include "engine/client_sockets.h"

#include "engine/bytes_received.h"

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
#include <string_view>

namespace torvesk::engine {

namespace {

std::optional<tcp_info> TcpInfo(int socket) {
    tcp_info info{};
    socklen_t length = sizeof info;
    if (getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return std::nullopt;
    return info;
}

// What arrived on an idle socket since its response ended.
enum class Arrival { Nothing, Close, Bytes, BytesThenClose, TimeoutThenClose };

// A server may end an idle connection with a 408, in the clear or not.
bool IsTimeoutResponse(std::string_view head) {
    return head.size() == 12 && head.starts_with("HTTP/1.") && head.substr(8) == " 408";
}

// A poll that fails says nothing arrived for sure: it counts as a close.
Arrival ArrivalOn(int socket) {
    pollfd idle{socket, POLLIN | POLLPRI | POLLRDHUP, 0};
    const int ready = ::poll(&idle, 1, 0);
    if (ready == 0)
        return Arrival::Nothing;
    char head[12];
    const ssize_t peeked =
        ready < 0 ? -1 : ::recv(socket, head, sizeof head, MSG_PEEK | MSG_DONTWAIT);
    if (peeked <= 0)
        return Arrival::Close;
    if (!(idle.revents & (POLLRDHUP | POLLHUP)))
        return Arrival::Bytes;
    return IsTimeoutResponse(std::string_view(head, static_cast<std::size_t>(peeked)))
               ? Arrival::TimeoutThenClose
               : Arrival::BytesThenClose;
}

bool Contains(const std::vector<int>& sockets, int socket) {
    return std::find(sockets.begin(), sockets.end(), socket) != sockets.end();
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
        if (!inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text))
            return End{};
        return End{ntohs(v4.sin_port), text};
    }
    if (end.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(end);
        if (!inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text))
            return End{};
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
    deadEnd_ = Descriptor(pair[0]);
    if (const int error = Descriptor(pair[1]).Close(); error != 0)
        failure_ = std::string("making the end-of-file descriptor failed: ") + std::strerror(error);
}

int ClientSockets::Open(int family, int type, int protocol) {
    const int socket = ::socket(family, type | SOCK_CLOEXEC, protocol);
    if (socket < 0)
        return -1;
    sockets_.push_back(socket);
    carried_.emplace_back();
    own_.push_back(socket);
    if (secureTransfer_)
        secure_.push_back(socket);
    return socket;
}

int ClientSockets::Close(int socket) {
    if (socket == used_) {
        receivedAtClose_ = BytesReceived(socket);
        used_ = -1;
    }
    if (const auto kept = std::find(sockets_.begin(), sockets_.end(), socket);
        kept != sockets_.end())
        carried_.erase(carried_.begin() + (kept - sockets_.begin()));
    for (std::vector<int>* list : {&sockets_, &own_, &secure_, &silenced_})
        std::erase(*list, socket);
    return ::close(socket);
}

bool ClientSockets::Silence(int socket) {
    if (::dup3(deadEnd_.get(), socket, O_CLOEXEC) < 0)
        return false;
    silenced_.push_back(socket);
    return true;
}

bool ClientSockets::SilenceUntrusted() {
    bool allSilenced = true;
    for (const int socket : sockets_) {
        if (Contains(silenced_, socket))
            continue;
        const Arrival arrival = ArrivalOn(socket);
        const End peer = EndOf(socket, ::getpeername);
        const bool closeAlert = arrival == Arrival::BytesThenClose && Contains(secure_, socket);
        if (arrival == Arrival::Bytes || (arrival == Arrival::BytesThenClose && !closeAlert))
            distrusted_.Distrust(peer.address, peer.port);
        if (arrival != Arrival::Nothing || distrusted_.Distrusts(peer.address, peer.port))
            allSilenced = Silence(socket) && allSilenced;
    }
    return allSilenced;
}

void ClientSockets::TransferEnded(const std::string& origin) {
    const Clock::time_point now = Clock::now();
    // A connection the library did not name may be any the transfer opened.
    const std::vector<int> used = used_ >= 0 ? std::vector<int>{used_} : own_;
    for (std::size_t i = 0; i < sockets_.size(); ++i)
        if (Contains(used, sockets_[i])) {
            ++carried_[i].responses;
            carried_[i].lastEnd = now;
            carried_[i].origin = origin;
        }
}

void ClientSockets::AwaitSettled(const std::string& origin) {
    std::vector<pollfd> settling;
    Clock::time_point settled;
    for (std::size_t i = 0; i < sockets_.size(); ++i) {
        const Carried& carried = carried_[i];
        const bool reusable = origin.empty() || carried.origin.empty() || carried.origin == origin;
        if (reusable && carried.responses < kProbationResponses &&
            !Contains(silenced_, sockets_[i])) {
            settling.push_back(pollfd{sockets_[i], POLLIN | POLLPRI | POLLRDHUP, 0});
            settled = std::max(settled, carried.lastEnd + kSettleTime);
        }
    }
    if (settling.empty())
        return;
    // A signal cuts the wait short; any other failure ends it, and what
    // arrived is looked at all the same.
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(settled - Clock::now());
        if (left.count() <= 0 ||
            ::poll(settling.data(), settling.size(), static_cast<int>(left.count())) >= 0 ||
            errno != EINTR)
            return;
    }
}

void ClientSockets::BeginTransfer(Clock::time_point start, bool secure) {
    start_ = start;
    secureTransfer_ = secure;
    own_.clear();
    used_ = -1;
    receivedBefore_ = receivedAtClose_ = std::nullopt;
}

void ClientSockets::UsingConnection(int localPort, const std::string& peerAddress, int peerPort) {
    const auto used = std::find_if(sockets_.begin(), sockets_.end(), [&](int socket) {
        const End peer = EndOf(socket, ::getpeername);
        return EndOf(socket, ::getsockname).port == localPort && peer.port == peerPort &&
               peer.address == peerAddress;
    });
    if (used == sockets_.end())
        return;
    own_.assign(1, *used);
    used_ = *used;
    receivedBefore_ = BytesReceived(used_);
    if (secureTransfer_ && !Contains(secure_, *used))
        secure_.push_back(*used);
}

std::optional<std::uint64_t> ClientSockets::ReceivedInTransfer() const {
    const std::optional<std::uint64_t> after = used_ >= 0 ? BytesReceived(used_) : receivedAtClose_;
    if (!receivedBefore_ || !after)
        return std::nullopt;
    return *after - *receivedBefore_;
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

} // namespace torvesk::engine
