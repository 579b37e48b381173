// Fixed-capacity, zero-terminated byte strings: the one bounded copy that
// every stored text goes through.
#pragma once

#include <cstddef>
#include <cstring>

namespace torvesk::engine {

// Copies src verbatim into dst (capacity bytes), cutting it so that the
// terminator always fits. Returns the number of bytes copied.
inline std::size_t CopyBytes(char* dst, std::size_t capacity, const char* src) {
    if (capacity == 0)
        return 0;
    std::size_t length = strnlen(src, capacity - 1);
    std::memmove(dst, src, length);
    dst[length] = '\0';
    return length;
}

template <std::size_t N> std::size_t CopyBytes(char (&dst)[N], const char* src) {
    return CopyBytes(dst, N, src);
}

} // namespace torvesk::engine
