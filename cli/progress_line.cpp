// The progress line: "\r" and erase-to-end-of-line before each redraw,
// written straight to standard error.
#include "cli/progress_line.h"

#include <algorithm>
#include <cerrno>
#include <sys/ioctl.h>
#include <unistd.h>

namespace torvesk::cli {

namespace {

constexpr char kEraseLine[] = "\r\033[K";

// The terminal's width in columns, or 0 when it does not say.
std::size_t WidthOf(int terminal) {
    winsize size{};
    return ::ioctl(terminal, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

void ToTerminal(const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(STDERR_FILENO, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

ProgressLine::~ProgressLine() {
    erase();
}

void ProgressLine::show(std::string text) {
    text_ = std::move(text);
    draw();
}

void ProgressLine::draw() {
    if (text_.empty())
        return;
    const std::size_t width = WidthOf(STDERR_FILENO);
    // A line as wide as the terminal would wrap, and "\r" could not reach its start.
    const std::size_t shown = width > 0 ? std::min(text_.size(), width - 1) : text_.size();
    const std::string line = kEraseLine + text_.substr(0, shown);
    ToTerminal(line.data(), line.size());
    drawn_ = true;
}

void ProgressLine::erase() {
    if (drawn_)
        ToTerminal(kEraseLine, sizeof kEraseLine - 1);
    drawn_ = false;
}

} // namespace torvesk::cli
