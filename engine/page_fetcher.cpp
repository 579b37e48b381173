// FetchPage: the URL made fit to send, redirections followed one at a time
// within one overall deadline, each target encoded the way a link is, and a
// failure turned into an empty page and one line on standard error.
#include "engine/page_fetcher.h"

#include "engine/http_get.h"
#include "engine/request_url.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

struct UrlHandleCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlTextCleanup {
    void operator()(char* text) const { curl_free(text); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlHandleCleanup>;
using CurlText = std::unique_ptr<char, CurlTextCleanup>;

// url parsed as libcurl reads it, an address without a scheme as http.
UrlHandle Parse(const std::string& url) {
    UrlHandle parsed(curl_url());
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), CURLU_GUESS_SCHEME) != CURLUE_OK)
        return nullptr;
    return parsed;
}

// Names under the reserved top-level domain "invalid" never resolve, so
// they are not looked up at all.
bool NamesAnInvalidHost(const std::string& url) {
    UrlHandle parsed = Parse(url);
    char* host = nullptr;
    if (!parsed || curl_url_get(parsed.get(), CURLUPART_HOST, &host, CURLU_URLDECODE) != CURLUE_OK)
        return false;
    std::string name(CurlText(host).get());
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name == "invalid" || name.ends_with(".invalid");
}

// The absolute URL a Location header leads to from url, or nothing.
std::optional<std::string> RedirectTarget(const std::string& url, const std::string& location) {
    UrlHandle parsed = Parse(url);
    char* target = nullptr;
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, RequestUrl(location).c_str(), 0) != CURLUE_OK ||
        curl_url_get(parsed.get(), CURLUPART_URL, &target, 0) != CURLUE_OK)
        return std::nullopt;
    return std::string(CurlText(target).get());
}

HttpResponse Failure(CURLcode code) {
    HttpResponse response;
    response.error = curl_easy_strerror(code);
    return response;
}

bool IsRedirection(const HttpResponse& response) {
    return response.status >= 300 && response.status <= 399 && response.status != 304 &&
           !response.location.empty();
}

// Follows redirections; returns the final response, or one whose error says
// why there is none.
HttpResponse Follow(std::string url, const FetchLimits& limits, const std::atomic<bool>& cancel) {
    const auto deadline = Clock::now() + std::chrono::seconds(limits.totalTimeoutSeconds);
    for (long redirections = 0;; ++redirections) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return Failure(CURLE_OPERATION_TIMEDOUT);
        HttpResponse response = HttpGet(url, limits, left.count(), cancel);
        if (!response.error.empty() || response.cancelled || !IsRedirection(response))
            return response;
        if (redirections == limits.maxRedirections)
            return Failure(CURLE_TOO_MANY_REDIRECTS);
        std::optional<std::string> target = RedirectTarget(url, response.location);
        if (!target)
            return Failure(CURLE_URL_MALFORMAT);
        url = std::move(*target);
    }
}

} // namespace

FetchResult FetchPage(const std::string& url, const FetchLimits& limits,
                      const std::atomic<bool>& cancel) {
    const std::string requested = RequestUrl(url);
    HttpResponse response = NamesAnInvalidHost(requested) ? Failure(CURLE_COULDNT_RESOLVE_HOST)
                                                          : Follow(requested, limits, cancel);
    if (response.cancelled)
        return FetchResult{{}, true};
    if (!response.error.empty()) {
        // The URL may hold any byte a page holds: the request's form keeps
        // the message on one line.
        std::fprintf(stderr, "torvesk: fetching %s failed: %s\n", requested.c_str(),
                     response.error.c_str());
        return FetchResult{};
    }
    return FetchResult{std::move(response.body), false};
}
