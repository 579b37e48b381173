// How many bytes a TCP connection has received in all, as the kernel counts
// them: set against what a response consisted of, the count shows bytes that
// came with it but belong to no request.
#pragma once

#include <cstdint>
#include <optional>

namespace torvesk::engine {

// Nothing when socket is no TCP socket, or the kernel does not count.
std::optional<std::uint64_t> BytesReceived(int socket);

} // namespace torvesk::engine
