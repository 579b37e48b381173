// A POSIX file descriptor as an owned handle.
#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace torvesk::engine {

// An open file descriptor (or -1 for none), closed when it goes out of
// scope unless Close() did it or it was moved on.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int get() const { return fd_; }
    // Closes now; returns 0 or the errno of a failed close.
    int Close() {
        const int result = ::close(std::exchange(fd_, -1));
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

} // namespace torvesk::engine
