// A span of bytes of a decoded input, for the decoders that say which bytes
// each character came from.
#pragma once

#include <cstddef>
#include <string_view>

namespace torvesk::text {

// Bytes [begin, end) of the decoded input.
struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;
    friend bool operator==(const ByteRange&, const ByteRange&) = default;
};

inline std::string_view Slice(std::string_view bytes, ByteRange range) {
    return bytes.substr(range.begin, range.end - range.begin);
}

} // namespace torvesk::text
