// Standard output's kind through fstat, its reader through poll, and the
// records' descriptor opened or inherited before anything else opens one.
#include "cli/standard_output.h"

#include "engine/descriptor.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace torvesk::crawl;
using namespace torvesk::engine;

namespace torvesk::cli {

namespace {

// Standard output itself, for "--output -": the descriptor inherited, never
// opened again, so that a socket or a pipe gets every record.
std::variant<RecordTarget, std::string> StandardOutputTarget() {
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    if (flags < 0)
        return std::string(errno == EBADF ? "it is not open" : std::strerror(errno));
    if ((flags & O_ACCMODE) == O_RDONLY)
        return std::string("it is open for reading only");
    Descriptor copy(::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0));
    if (copy.get() < 0)
        return std::string(std::strerror(errno));
    return RecordTarget({}, kStandardOutputName, std::move(copy));
}

} // namespace

OutputKind StandardOutputKind() {
    struct stat status {};
    if (::isatty(STDOUT_FILENO) == 1)
        return OutputKind::Terminal;
    if (::fstat(STDOUT_FILENO, &status) == 0 &&
        (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)))
        return OutputKind::Stream;
    return OutputKind::Other;
}

bool StandardOutputOpen() {
    return ::fcntl(STDOUT_FILENO, F_GETFL) >= 0;
}

// A pipe's write end reports an error once its last reader has closed it,
// a socket a hang-up once its peer has.
bool ReaderGone() {
    pollfd watched{STDOUT_FILENO, 0, 0};
    return ::poll(&watched, 1, 0) == 1 && (watched.revents & (POLLERR | POLLHUP)) != 0;
}

void EndAsReaderGone() {
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    if (pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr) == 0)
        std::raise(SIGPIPE);
    _exit(kReaderGoneExitCode);
}

// Where the records go, or why none could ever be appended there. The file
// is opened as each record opens it, without writing; a FIFO with a reader
// stays open for the whole crawl, so that its reader sees one stream, while
// one that nobody reads yet is no reason to stop: its records are reported
// one by one, as in the window.
std::variant<RecordTarget, std::string> RecordTargetFor(const CrawlRequest& request) {
    if (request.output == "-")
        return StandardOutputTarget();
    Descriptor file(::open(request.output.c_str(),
                           O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                           0666));
    struct stat status {};
    if (file.get() >= 0 && ::fstat(file.get(), &status) == 0 && S_ISFIFO(status.st_mode))
        return RecordTarget(request.output, request.output, std::move(file));
    if (file.get() >= 0 || errno == ENXIO)
        return RecordTarget(request.output);
    return std::string(std::strerror(errno));
}

} // namespace torvesk::cli
