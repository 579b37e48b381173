// The reporter that writes each error line to standard error.
#include "engine/error_reporter.h"

#include <cerrno>
#include <unistd.h>

namespace torvesk::engine {

void ReportOnStandardError(const std::string& line) {
    const std::string shown = "torvesk: " + line + "\n";
    const char* bytes = shown.data();
    std::size_t left = shown.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, bytes, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // nowhere left to say it
        bytes += n;
        left -= static_cast<std::size_t>(n);
    }
}

} // namespace torvesk::engine
