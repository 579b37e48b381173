// getaddrinfo for names of the form "slow-<milliseconds>.test": the answer
// is 127.0.0.1, given after that long, as a distant or overloaded name
// server gives it; such lookups are counted. "absent.test" has no address,
// at once, wherever the tests run. Every other name goes on to the C
// library. Linked into a test program it stands in for the C library's
// function; a benchmark preloads it (LD_PRELOAD) into the real program.
#include <dlfcn.h>
#include <netdb.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

std::atomic<unsigned>& SlowLookups() {
    static std::atomic<unsigned> begun = 0;
    return begun;
}

} // namespace

// Lookups of slow names begun so far in this process.
extern "C" unsigned SlowLookupsBegun() {
    return SlowLookups();
}

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto next = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    if (node && std::strcmp(node, "absent.test") == 0)
        return EAI_NONAME;
    unsigned delayMs = 0;
    int length = 0;
    if (node && std::sscanf(node, "slow-%u.test%n", &delayMs, &length) == 1 && length > 0 &&
        node[length] == '\0') {
        ++SlowLookups();
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        node = "127.0.0.1";
    }
    return next(node, service, hints, result);
}
