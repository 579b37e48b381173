// getaddrinfo for names of the form "h<number>.scale.test": the answer is
// at once one of kScaleAddresses loopback addresses, 127.0.0.1 upwards,
// chosen by the number, so that a crawl can meet as many host names as it
// likes and its closed connections spread over enough address pairs not to
// run out of local ports. Every other name goes on to the C library. The
// scale bench preloads it (LD_PRELOAD) into torvesk and wget.
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// As many as the bench's nginx listens on.
constexpr unsigned kScaleAddresses = 64;
// The canonical name of our answers, by which freeaddrinfo knows them.
char kScaleName[] = "scale.test";

struct Answer {
    addrinfo info;
    sockaddr_in address;
};

// The port of service, a number or "http"; -1 when it is neither.
int PortOf(const char* service) {
    if (!service || std::strcmp(service, "http") == 0)
        return 80;
    char* end = nullptr;
    const long port = std::strtol(service, &end, 10);
    return *end == '\0' && port >= 0 && port <= 65535 ? static_cast<int>(port) : -1;
}

int AnswerFor(unsigned number, const char* service, const addrinfo* hints, addrinfo** result) {
    const int port = PortOf(service);
    if (port < 0 || (hints && hints->ai_family != AF_UNSPEC && hints->ai_family != AF_INET))
        return EAI_NONAME;
    auto* answer = static_cast<Answer*>(std::calloc(1, sizeof(Answer)));
    if (!answer)
        return EAI_MEMORY;
    answer->address.sin_family = AF_INET;
    answer->address.sin_port = htons(static_cast<uint16_t>(port));
    answer->address.sin_addr.s_addr = htonl(INADDR_LOOPBACK + number % kScaleAddresses);
    answer->info.ai_family = AF_INET;
    answer->info.ai_socktype = hints && hints->ai_socktype ? hints->ai_socktype : SOCK_STREAM;
    answer->info.ai_protocol = hints ? hints->ai_protocol : 0;
    answer->info.ai_addrlen = sizeof(sockaddr_in);
    answer->info.ai_addr = reinterpret_cast<sockaddr*>(&answer->address);
    answer->info.ai_canonname = kScaleName;
    *result = &answer->info;
    return 0;
}

bool IsOurs(const addrinfo* list) {
    return list && list->ai_canonname == kScaleName;
}

} // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto next = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    unsigned number = 0;
    int length = 0;
    if (node && std::sscanf(node, "h%u.scale.test%n", &number, &length) == 1 && length > 0 &&
        node[length] == '\0')
        return AnswerFor(number, service, hints, result);
    return next(node, service, hints, result);
}

// Our answers are one block each; the C library's go back to it.
extern "C" void freeaddrinfo(addrinfo* list) {
    using Free = void (*)(addrinfo*);
    static const auto next = reinterpret_cast<Free>(dlsym(RTLD_NEXT, "freeaddrinfo"));
    if (IsOurs(list))
        std::free(list);
    else
        next(list);
}
