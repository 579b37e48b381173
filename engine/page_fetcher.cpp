// PageFetcher: the URL made fit to send, redirections followed one hop at a
// time within one overall deadline, every hop sent the way a link is and
// checked the way the start address is, and a failure turned into an empty
// page and one line for the reporter.
#include "engine/page_fetcher.h"

#include "engine/request_url.h"
#include "engine/url_parts.h"

#include <chrono>
#include <optional>
#include <utility>

namespace torvesk::engine {

namespace {

using Clock = std::chrono::steady_clock;

// Names under the reserved top-level domain "invalid" never resolve, so
// they are not looked up at all, however many dots end them.
bool IsUnderInvalid(std::string_view host) {
    while (host.ends_with('.'))
        host.remove_suffix(1);
    return host == "invalid" || host.ends_with(".invalid");
}

// Why a hop is not requested at all, or nothing.
std::optional<std::string> Refusal(const WireUrl& hop) {
    if (hop.text.empty())
        return "no start address";
    if (hop.scheme != "http" && hop.scheme != "https")
        return "only http and https are fetched";
    if (IsUnderInvalid(hop.host))
        return "host name under .invalid, never looked up";
    if (!hop.hostValid)
        return "not a valid host name";
    return std::nullopt;
}

HttpResponse Failure(std::string why) {
    HttpResponse response;
    response.error = std::move(why);
    return response;
}

// Every URL printed is in its form as sent and shows no password.
std::string FailureLine(const std::string& start, const std::string& hop, const std::string& why) {
    if (start.empty())
        return "nothing fetched: " + why;
    const std::string shownHop = WithPasswordHidden(hop);
    if (hop == start)
        return "fetching " + shownHop + " failed: " + why;
    return "fetching " + shownHop + " (redirected from " + WithPasswordHidden(start) +
           ") failed: " + why;
}

bool IsRedirection(long status) {
    return status >= 300 && status <= 399 && status != 304;
}

} // namespace

// The final response, or the failure and the hop (as sent) it came from.
struct PageFetcher::Outcome {
    HttpResponse response;
    std::string hop;
    long redirections = 0;
};

PageFetcher::PageFetcher(const FetchLimits& limits, ErrorReporter report)
    : limits_(limits), report_(std::move(report)), client_(limits_) {}

HttpResponse PageFetcher::Request(const WireUrl& hop, std::chrono::milliseconds timeLeft,
                                  const std::atomic<bool>& cancel) {
    if (const std::optional<std::string> refusal = Refusal(hop))
        return Failure(*refusal);
    if (timeLeft.count() <= 0)
        return Failure("not complete within " + BoundInWords(limits_.totalTimeout));
    return client_.Get(hop.text, ProxyFor(hop.scheme, hop.host), timeLeft, cancel);
}

// A 3xx whose Location holds nothing is no redirection: its body is the page.
PageFetcher::Outcome PageFetcher::Follow(WireUrl hop, const std::atomic<bool>& cancel) {
    const auto deadline = Clock::now() + limits_.totalTimeout;
    for (long redirections = 0;; ++redirections) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        Outcome outcome{Request(hop, left, cancel), hop.text, redirections};
        const HttpResponse& response = outcome.response;
        if (!response.error.empty() || response.cancelled || !IsRedirection(response.status))
            return outcome;
        WireUrl target = RedirectUrl(hop.text, response.location);
        if (target.text.empty())
            return outcome;
        if (redirections == limits_.maxRedirections) {
            outcome.response =
                Failure("more than " + std::to_string(redirections) + " redirections");
            return outcome;
        }
        hop = std::move(target);
    }
}

FetchResult PageFetcher::FetchPage(const std::string& url, const std::atomic<bool>& cancel) {
    const WireUrl start = RequestUrl(url);
    Outcome outcome = Follow(start, cancel);
    if (outcome.response.cancelled || cancel)
        return FetchResult{{}, true, {}};
    if (outcome.response.error.empty()) {
        const std::size_t bytes = outcome.response.body.size();
        return FetchResult{std::move(outcome.response.body),
                           false,
                           {},
                           outcome.response.status,
                           outcome.redirections,
                           bytes};
    }
    std::string failure = FailureLine(start.text, outcome.hop, outcome.response.error);
    report_(failure);
    return FetchResult{{}, false, std::move(failure), 0, outcome.redirections, 0};
}

} // namespace torvesk::engine
