// MisbehavingSite on the raw loopback server: each connection's handler
// answers requests as they come and does its misdeed in between, the late
// response on a timer of its own so that a request arriving first is
// answered first. The late tail's pause is slowness on purpose.
#include "bench/misbehaving_site.h"

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

enum class Misdeed { TimeoutWhenIdle, StrayLineEnd, LateResponse, LateTail, ResetOnReuse };
constexpr int kMisdeeds = 5;
constexpr std::size_t kShortBy = 10;
constexpr auto kTailAfter = 1ms;
constexpr int kLinksPerPage = 10;
constexpr auto kIdleTimeout = 50ms;
constexpr int kLateMinMs = 50;
constexpr int kLateMaxMs = 300;
constexpr auto kLongestIdle = 30s;
constexpr auto kNotDue = Clock::time_point::max();

std::string WithLength(const std::string& status, const std::string& body,
                       const std::string& headers = "") {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
           headers + "\r\n" + body;
}

// Page n of "/p<n>/", or -1.
int PageNumber(const std::string& path) {
    char* end = nullptr;
    const long number = path.starts_with("/p") ? std::strtol(path.c_str() + 2, &end, 10) : -1;
    return end && *end == '/' && end[1] == '\0' ? static_cast<int>(number) : -1;
}

// How long to wait for a request: no longer than the misdeed due next.
std::chrono::milliseconds WaitLimit(Misdeed misdeed,
                                    const std::optional<Clock::time_point>& lateAt) {
    if (misdeed == Misdeed::TimeoutWhenIdle)
        return kIdleTimeout;
    if (!lateAt)
        return kLongestIdle;
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::max(*lateAt - Clock::now(), Clock::duration()));
}

// Sends response, or with a late tail: a Content-Length that falls short and
// the rest a moment later.
bool Answer(ServerConnection& connection, const std::string& response, bool lateTail) {
    if (!lateTail)
        return connection.Send(response);
    const std::size_t bodyAt = response.find("\r\n\r\n") + 4;
    const std::size_t length = response.size() - bodyAt;
    if (length < kShortBy)
        return connection.Send(response);
    std::string head = response.substr(0, bodyAt);
    const std::string field = "Content-Length: " + std::to_string(length);
    head.replace(head.find(field), field.size(),
                 "Content-Length: " + std::to_string(length - kShortBy));
    if (!connection.Send(head + response.substr(bodyAt, length - kShortBy)))
        return false;
    std::this_thread::sleep_for(kTailAfter);
    return connection.Send(response.substr(response.size() - kShortBy));
}

} // namespace

MisbehavingSite::MisbehavingSite(int pages)
    : pages_(pages), server_([this](ServerConnection& connection) { Serve(connection); }) {}

std::optional<std::string> MisbehavingSite::TitleAt(const std::string& url) const {
    const std::string prefix = Url("");
    const int page = url.starts_with(prefix) ? PageNumber(url.substr(prefix.size())) : -1;
    if (page < 0 || page >= pages_)
        return std::nullopt;
    return "Page " + std::to_string(page);
}

std::string MisbehavingSite::Page(const std::string& target) const {
    const int page = PageNumber(target);
    if (page < 0 || page >= pages_)
        return WithLength("404 Not Found", "");
    std::string body = "<html><title>Page " + std::to_string(page) + "</title><body>\n";
    for (int k = 1; k <= kLinksPerPage; ++k)
        body += "<a href=\"" + Url("/p" + std::to_string((page * 7 + k * 13) % pages_) + "/") +
                "\">link " + std::to_string(k) + "</a>\n";
    return WithLength("200 OK", body + "</body></html>\n");
}

void MisbehavingSite::Serve(ServerConnection& connection) {
    const auto misdeed = static_cast<Misdeed>(connection.index() % kMisdeeds);
    std::mt19937 random(connection.index());
    std::uniform_int_distribution lateMs(kLateMinMs, kLateMaxMs);
    Clock::time_point lateAt = kNotDue;
    for (int requests = 0;;) {
        const std::optional<std::string> target =
            connection.NextRequest(WaitLimit(misdeed, lateAt));
        if (!target && misdeed == Misdeed::TimeoutWhenIdle) {
            connection.Send(WithLength("408 Request Timeout", "", "Connection: close\r\n"));
            return connection.Close();
        }
        if (!target && lateAt != kNotDue) {
            connection.Send(WithLength("200 OK", "<title>INJECTED</title>"));
            lateAt = kNotDue;
            continue;
        }
        if (target && misdeed == Misdeed::ResetOnReuse && requests > 0)
            return connection.Reset();
        if (!target || !Answer(connection, Page(*target), misdeed == Misdeed::LateTail))
            return;
        ++requests_;
        ++requests;
        if (misdeed == Misdeed::StrayLineEnd)
            connection.Send("\r\n");
        if (misdeed == Misdeed::LateResponse && lateAt == kNotDue)
            lateAt = Clock::now() + std::chrono::milliseconds(lateMs(random));
    }
}
