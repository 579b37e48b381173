// An iconv conversion descriptor as an owned handle.
#pragma once

#include <bit>
#include <cerrno>
#include <cstddef>
#include <iconv.h>

namespace torvesk::text {

// iconv's name for UTF-16 in this machine's byte order, without a byte order
// mark: QString's storage.
constexpr const char* kNativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
public:
    Converter(const char* to, const char* from) : descriptor(iconv_open(to, from)) {}
    ~Converter() {
        if (IsOpen())
            iconv_close(descriptor);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts what fits; returns 0 when all input is done, else iconv's errno.
    int Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        if (!IsOpen())
            return EBADF;
        char* input = const_cast<char*>(in); // iconv's signature; it never writes there
        std::size_t result = iconv(descriptor, &input, &inLeft, &out, &outLeft);
        in = input;
        return result == static_cast<std::size_t>(-1) ? errno : 0;
    }

private:
    bool IsOpen() const { return descriptor != reinterpret_cast<iconv_t>(-1); }

    iconv_t descriptor;
};

} // namespace torvesk::text
