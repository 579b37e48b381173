// Records appended with plain POSIX calls: a non-blocking open, writes
// until the record is in, a truncate back to where it began when it was cut
// short, and a close (a FIFO stays open while its reader reads). SIGPIPE is
// held back meanwhile, so a reader that goes away fails the record instead
// of ending the program.
#include "engine/record_file.h"

#include "engine/request_url.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace torvesk::engine {

namespace {

using Clock = std::chrono::steady_clock;

// While this lives, SIGPIPE stays pending for this thread instead of ending
// the program, and a write to a FIFO without reader fails with EPIPE. A
// SIGPIPE raised meanwhile is taken off before the old mask returns.
class SigpipeHeld {
public:
    SigpipeHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        pendingBefore_ = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
        held_ = pthread_sigmask(SIG_BLOCK, &pipe_, &previous_) == 0;
    }
    // Not held, the signal was never kept back: there is nothing to take off.
    ~SigpipeHeld() {
        if (!held_)
            return;
        sigset_t pending;
        int taken;
        if (!pendingBefore_ && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1)
            sigwait(&pipe_, &taken);
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

private:
    sigset_t pipe_;
    sigset_t previous_;
    bool pendingBefore_ = false;
    bool held_ = false;
};

// O_NONBLOCK: opening a FIFO without a reader fails with ENXIO instead of
// waiting for one, and a full pipe answers EAGAIN instead of blocking.
int OpenForAppending(const char* path) {
    int fd;
    do
        fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool IsFifo(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode);
}

// Waits until fd takes bytes again (or has an error for the next write to
// report), at most until deadline.
bool WaitForRoom(int fd, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd watched{fd, POLLOUT, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

// Writes the rest of record from written on; returns 0, or the errno that
// stopped it. A pipe that stays full for kPipeWait gives EAGAIN.
int WriteAll(int fd, std::string_view record, std::size_t& written) {
    const Clock::time_point deadline = Clock::now() + kPipeWait;
    while (written < record.size()) {
        const ssize_t n = ::write(fd, record.data() + written, record.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        const int error = n < 0 ? errno : EIO;
        if (error == EINTR)
            continue;
        if (error != EAGAIN)
            return error;
        if (!WaitForRoom(fd, deadline))
            return EAGAIN;
    }
    return 0;
}

// With O_APPEND the written part ends where the file offset stands now.
int RemoveWrittenPart(int fd, std::size_t written) {
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end < 0 || ::ftruncate(fd, end - static_cast<off_t>(written)) != 0)
        return errno;
    return 0;
}

std::string Reason(int error) {
    switch (error) {
    case ENXIO:
        return "it is a FIFO that no program is reading, or a socket";
    case EAGAIN:
        return "the program reading it took nothing for " +
               std::to_string(kPipeWait.count() / 1000) + " s";
    case EPIPE:
        return "the program reading it has closed it";
    default:
        return std::strerror(error);
    }
}

} // namespace

bool RecordFile::Failed(std::string_view url, const char* what, int error, const std::string& why) {
    lastError_ = error != 0 ? error : EIO;
    report_("record for " + UrlForLine(url) + " " + what + " " + name_ + ": " + why);
    return false;
}

bool RecordFile::Append(std::string_view record, std::string_view url) {
    const SigpipeHeld held;
    const bool kept = open_.get() >= 0;
    Descriptor file = kept ? std::move(open_) : Descriptor(OpenForAppending(path_.c_str()));
    const int fd = file.get();
    if (fd < 0) {
        const int openError = errno;
        return Failed(url, "not written to", openError, Reason(openError));
    }
    std::size_t written = 0;
    const int error = WriteAll(fd, record, written);
    // Closing would show the reader an end of file after every record.
    if (given_ || (error != EPIPE && (kept || IsFifo(fd))))
        open_ = std::move(file);
    if (error != 0)
        return Unwritten(fd, written, error, url);
    const int closeError = open_.get() >= 0 ? 0 : file.Close();
    if (closeError != 0)
        return Failed(url, "may be incomplete in", closeError, Reason(closeError));
    return true;
}

bool RecordFile::Unwritten(int fd, std::size_t written, int error, std::string_view url) {
    const int removeError = written > 0 ? RemoveWrittenPart(fd, written) : 0;
    if (removeError != 0)
        return Failed(url, "only partly written to", error,
                      Reason(error) + ", and removing that part failed: " + Reason(removeError));
    return Failed(url, "not written to", error, Reason(error));
}

} // namespace torvesk::engine
