// getaddrinfo for names of the form "slow-<milliseconds>.test": the answer
// is 127.0.0.1, given after that long, as a distant or overloaded name
// server gives it. Every other name goes on to the C library. Linked into a
// test program it stands in for the C library's function; a benchmark
// preloads it (LD_PRELOAD) into the real program.
#include <dlfcn.h>
#include <netdb.h>

#include <chrono>
#include <cstdio>
#include <thread>

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto next = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    unsigned delayMs = 0;
    int length = 0;
    if (node && std::sscanf(node, "slow-%u.test%n", &delayMs, &length) == 1 && length > 0 &&
        node[length] == '\0') {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        node = "127.0.0.1";
    }
    return next(node, service, hints, result);
}
