// BytesReceived on the kernel's own TCP_INFO: the C library's copy of that
// record stops short of the byte counters, so this file alone reads the
// kernel's.
#include "engine/bytes_received.h"

#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstddef>

namespace torvesk::engine {

std::optional<std::uint64_t> BytesReceived(int socket) {
    tcp_info info{};
    socklen_t length = sizeof info;
    if (getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &length) != 0 ||
        length < offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received)
        return std::nullopt;
    return info.tcpi_bytes_received;
}

} // namespace torvesk::engine
