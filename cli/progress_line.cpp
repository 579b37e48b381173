// The progress line: "\r" and erase-to-end-of-line before each redraw, and
// standard error relayed through a pipe while the line is shown.
#include "cli/progress_line.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr char kEraseLine[] = "\r\033[K";

// The terminal's width in columns, or 0 when it does not say.
std::size_t WidthOf(int terminal) {
    winsize size{};
    return ::ioctl(terminal, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

} // namespace

ProgressLine::ProgressLine() : terminal_(::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0)) {
    int ends[2];
    if (terminal_.get() < 0 || ::pipe2(ends, O_CLOEXEC) != 0)
        return;
    pipe_ = Descriptor(ends[0]);
    const Descriptor writeEnd(ends[1]);
    // Writers block on a full pipe, as on a slow terminal; only this end waits for nobody.
    ::fcntl(pipe_.get(), F_SETFL, O_NONBLOCK);
    ::dup2(writeEnd.get(), STDERR_FILENO);
    notifier_ = std::make_unique<QSocketNotifier>(pipe_.get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ProgressLine::relay);
}

ProgressLine::~ProgressLine() {
    erase();
    if (!notifier_)
        return;
    notifier_.reset();
    ::dup2(terminal_.get(), STDERR_FILENO);
    passOn(pipe_.get());
}

void ProgressLine::show(std::string text) {
    text_ = std::move(text);
    if (!lineOpen_)
        draw();
}

void ProgressLine::relay() {
    erase();
    passOn(pipe_.get());
    if (!lineOpen_)
        draw();
}

// Everything fd holds now goes to the terminal.
void ProgressLine::passOn(int fd) {
    char bytes[4096];
    ssize_t n;
    while ((n = ::read(fd, bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR)) {
        if (n <= 0)
            continue;
        toTerminal(bytes, static_cast<std::size_t>(n));
        lineOpen_ = bytes[n - 1] != '\n';
    }
}

void ProgressLine::draw() {
    if (text_.empty())
        return;
    const std::size_t width = WidthOf(terminal_.get());
    // A line as wide as the terminal would wrap, and "\r" could not reach its start.
    const std::size_t shown = width > 0 ? std::min(text_.size(), width - 1) : text_.size();
    const std::string line = kEraseLine + text_.substr(0, shown);
    toTerminal(line.data(), line.size());
    drawn_ = true;
}

void ProgressLine::erase() {
    if (drawn_)
        toTerminal(kEraseLine, sizeof kEraseLine - 1);
    drawn_ = false;
}

void ProgressLine::toTerminal(const char* bytes, std::size_t size) const {
    while (size > 0) {
        const ssize_t n = ::write(terminal_.get(), bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}
