// The window program is found where it is installed relative to this one
// (bin/ and libexec/torvesk/, in the build tree as in the package).
#include "app/window_program.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace torvesk::app {

namespace {

constexpr int kWindowNotStartedExitCode = 1;

// The folder this executable lies in, or empty when the kernel does not say.
std::string OwnFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string self(path, static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/') + 1);
}

} // namespace

int StartWindowProgram(char** argv) {
    const std::string window = OwnFolder() + TORVESK_WINDOW_FROM_BIN;
    ::execv(window.c_str(), argv);
    std::fprintf(stderr, "torvesk: cannot start the window program %s: %s\n", window.c_str(),
                 std::strerror(errno));
    return kWindowNotStartedExitCode;
}

} // namespace torvesk::app
