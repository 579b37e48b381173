// PageFetcher: the URL made fit to send, redirections followed one hop at a
// time within one overall deadline, every hop sent the way a link is and
// checked the way the start address is, and a failure turned into an empty
// page and one line on standard error.
#include "engine/page_fetcher.h"

#include "engine/request_url.h"
#include "engine/url_parts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

// Names under the reserved top-level domain "invalid" never resolve, so
// they are not looked up at all.
bool NamesAnInvalidHost(const std::string& url) {
    const UrlParts parts = SplitUrl(url);
    std::string name(parts.authority ? HostOf(*parts.authority) : std::string_view());
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return name == "invalid" || name.ends_with(".invalid");
}

// Why a hop is not requested at all, or nothing.
std::optional<std::string> Refusal(const WireUrl& hop) {
    if (hop.text.empty())
        return "no start address";
    if (!hop.hostValid)
        return "host name not valid";
    if (NamesAnInvalidHost(hop.text))
        return "host name under .invalid, never looked up";
    return std::nullopt;
}

HttpResponse Failure(std::string why) {
    HttpResponse response;
    response.error = std::move(why);
    return response;
}

// Every URL printed is in its form as sent, which keeps the line one line.
std::string FailureLine(const std::string& start, const std::string& hop, const std::string& why) {
    if (start.empty())
        return "nothing fetched: " + why;
    if (hop == start)
        return "fetching " + hop + " failed: " + why;
    return "fetching " + hop + " (redirected from " + start + ") failed: " + why;
}

bool IsRedirection(long status) {
    return status >= 300 && status <= 399 && status != 304;
}

} // namespace

// The final response, or the failure and the hop (as sent) it came from.
struct PageFetcher::Outcome {
    HttpResponse response;
    std::string hop;
};

PageFetcher::PageFetcher(const FetchLimits& limits) : limits_(limits), client_(limits_) {}

HttpResponse PageFetcher::Request(const WireUrl& hop, long timeLeftMs,
                                  const std::atomic<bool>& cancel) {
    if (const std::optional<std::string> refusal = Refusal(hop))
        return Failure(*refusal);
    if (timeLeftMs <= 0)
        return Failure("not complete within " + std::to_string(limits_.totalTimeoutSeconds) + " s");
    return client_.Get(hop.text, timeLeftMs, cancel);
}

// A 3xx whose Location holds nothing is no redirection: its body is the page.
PageFetcher::Outcome PageFetcher::Follow(WireUrl hop, const std::atomic<bool>& cancel) {
    const auto deadline = Clock::now() + std::chrono::seconds(limits_.totalTimeoutSeconds);
    for (long redirections = 0;; ++redirections) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        Outcome outcome{Request(hop, left.count(), cancel), hop.text};
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
    if (outcome.response.error.empty())
        return FetchResult{std::move(outcome.response.body), false, {}};
    std::string failure = FailureLine(start.text, outcome.hop, outcome.response.error);
    std::fprintf(stderr, "torvesk: %s\n", failure.c_str());
    return FetchResult{{}, false, std::move(failure)};
}
