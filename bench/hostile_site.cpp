// HostileSite on the raw loopback server: one handler per connection that
// answers each request, then does its misdeed. The pauses are the
// hostility itself: each is slow on purpose, so that the misdeed lands just
// after the client may have sent its next request.
#include "bench/hostile_site.h"

#include <cstdlib>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr auto kLongestIdle = 30s;
constexpr std::size_t kShortBy = 10;

std::string PageBody(int page) {
    return "<html><head><title>T-p" + std::to_string(page) +
           "</title></head><body>page</body></html>\n";
}

std::string Response(const std::string& version, const std::string& body,
                     const std::string& headers = "") {
    return version +
           " 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n" + headers + "\r\n" + body;
}

// Page N of "/pN", or 0 for any other target.
int PageNumber(const std::string& target) {
    return target.starts_with("/p") ? std::atoi(target.c_str() + 2) : 0;
}

} // namespace

const char* NameOf(Hostility hostility) {
    switch (hostility) {
    case Hostility::None:
        return "well-behaved";
    case Hostility::StrayResponse:
        return "stray response 1 ms after each page";
    case Hostility::Http10KeepAlive:
        return "HTTP/1.0 keep-alive, stray response 1 ms after";
    case Hostility::NoContentLateBytes:
        return "204, stray bytes 3 ms later";
    case Hostility::ResetOnReuse:
        return "reset on reuse after reading the request";
    case Hostility::CloseAfterResponse:
        return "close 2 ms after each response";
    case Hostility::ShortLength:
        return "Content-Length 10 short, tail 1 ms later";
    }
    return "";
}

HostileSite::HostileSite(Hostility hostility)
    : hostility_(hostility), server_([this](ServerConnection& connection) { Serve(connection); }) {}

std::string HostileSite::TitleOf(int page) const {
    return hostility_ == Hostility::NoContentLateBytes ? "" : "T-p" + std::to_string(page);
}

void HostileSite::Serve(ServerConnection& connection) {
    for (int answered = 0;; ++answered) {
        const std::optional<std::string> target = connection.NextRequest(kLongestIdle);
        if (!target)
            return;
        const int page = PageNumber(*target);
        const std::string body = PageBody(page);
        switch (hostility_) {
        case Hostility::None:
            connection.Send(Response("HTTP/1.1", body));
            break;
        case Hostility::StrayResponse:
            connection.Send(Response("HTTP/1.1", body));
            std::this_thread::sleep_for(1ms);
            connection.Send(Response("HTTP/1.1", PageBody(0)));
            break;
        case Hostility::Http10KeepAlive:
            connection.Send(Response("HTTP/1.0", body, "Connection: keep-alive\r\n"));
            std::this_thread::sleep_for(1ms);
            connection.Send(Response("HTTP/1.0", PageBody(0), "Connection: keep-alive\r\n"));
            break;
        case Hostility::NoContentLateBytes:
            connection.Send("HTTP/1.1 204 No Content\r\n\r\n");
            std::this_thread::sleep_for(3ms);
            connection.Send(Response("HTTP/1.1", body));
            break;
        case Hostility::ResetOnReuse:
            if (answered > 0)
                return connection.Reset();
            connection.Send(Response("HTTP/1.1", body));
            break;
        case Hostility::CloseAfterResponse:
            connection.Send(Response("HTTP/1.1", body));
            std::this_thread::sleep_for(2ms);
            return connection.Close();
        case Hostility::ShortLength: {
            const std::string whole = Response("HTTP/1.1", body);
            const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                                     "Content-Length: " +
                                     std::to_string(body.size() - kShortBy) + "\r\n\r\n";
            connection.Send(head + body.substr(0, body.size() - kShortBy));
            std::this_thread::sleep_for(1ms);
            connection.Send(body.substr(body.size() - kShortBy));
            break;
        }
        }
    }
}
