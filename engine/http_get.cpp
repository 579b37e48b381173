// HttpGet on libcurl: one easy transfer, driven through a multi handle so
// that the cancel flag is looked at every poll period, and a progress
// callback that gives up once nothing has arrived for the stall bound,
// counted from the last byte.
#include "engine/http_get.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <memory>

namespace {

// Anything else (file:, ftp:, ...) is refused, also as a redirection target.
constexpr const char* kAllowedSchemes = "http,https";
constexpr int kPollMs = 50; // how late a cancel may be seen

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct HeaderListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using MultiHandle = std::unique_ptr<CURLM, MultiCleanup>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListCleanup>;

// What the callbacks of one transfer share.
struct Transfer {
    explicit Transfer(const FetchLimits& bounds) : limits(bounds) {}

    const FetchLimits& limits;
    std::string body;
    bool capReached = false;
    curl_off_t bytesSeen = 0;
    std::chrono::steady_clock::time_point lastArrival = std::chrono::steady_clock::now();
};

bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// Keeps what fits; taking less than offered past the cap ends the transfer.
std::size_t KeepBodyBytes(char* data, std::size_t size, std::size_t count, void* userdata) {
    auto& transfer = *static_cast<Transfer*>(userdata);
    const std::size_t offered = size * count;
    const std::size_t kept = std::min(offered, transfer.limits.maxBodyBytes - transfer.body.size());
    transfer.body.append(data, kept);
    if (kept < offered)
        transfer.capReached = true;
    return kept;
}

// A non-zero result aborts the transfer: nothing arrived for the stall bound.
int AbortWhenStalled(void* userdata, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(userdata);
    const auto now = std::chrono::steady_clock::now();
    if (received != transfer.bytesSeen) {
        transfer.bytesSeen = received;
        transfer.lastArrival = now;
    }
    const auto stallLimit = std::chrono::seconds(transfer.limits.stallTimeoutSeconds);
    return now - transfer.lastArrival >= stallLimit ? 1 : 0;
}

bool AllSet(std::initializer_list<CURLcode> results) {
    return std::all_of(results.begin(), results.end(),
                       [](CURLcode result) { return result == CURLE_OK; });
}

// No Accept-Encoding is sent and nothing is decoded: the body stays as served.
// The proxy is left unset so that libcurl takes it from the environment.
bool SetRequest(CURL* easy, const std::string& url, curl_slist* headers, Transfer& transfer) {
    return AllSet({
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str()),
        curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent),
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers),
        curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L),
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, KeepBodyBytes),
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer),
    });
}

bool SetBounds(CURL* easy, Transfer& transfer, long timeoutMs) {
    const FetchLimits& limits = transfer.limits;
    return AllSet({
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kAllowedSchemes),
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds),
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs),
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L),
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, AbortWhenStalled),
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer),
        // Time-outs must not raise signals: the process runs other threads.
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L),
    });
}

// Runs the transfer to its end, looking at the cancel flag between polls.
CURLcode Perform(CURL* easy, const std::atomic<bool>& cancel) {
    MultiHandle multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    int running = 1;
    while (running > 0 && !cancel) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK ||
            (running > 0 && curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr) != CURLM_OK))
            break;
    }
    CURLcode result = cancel ? CURLE_ABORTED_BY_CALLBACK : CURLE_RECV_ERROR;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

// The cap stops the transfer with a write error; that is a complete page here.
bool Succeeded(CURLcode result, const Transfer& transfer) {
    return result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.capReached);
}

// The status and the raw Location header of a finished transfer.
void ReadHead(CURL* easy, HttpResponse& response) {
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &response.status);
    curl_header* location = nullptr;
    if (curl_easy_header(easy, "Location", 0, CURLH_HEADER, -1, &location) == CURLHE_OK)
        response.location = location->value;
}

} // namespace

HttpResponse HttpGet(const std::string& url, const FetchLimits& limits, long timeoutMs,
                     const std::atomic<bool>& cancel) {
    Transfer transfer(limits);
    EasyHandle easy(CurlReady() ? curl_easy_init() : nullptr);
    // A reload bypasses every cache on the way, as a forced refresh does.
    HeaderList headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    CURLcode result = CURLE_OUT_OF_MEMORY;
    if (easy && headers && curl_slist_append(headers.get(), "Pragma: no-cache") &&
        SetRequest(easy.get(), url, headers.get(), transfer) &&
        SetBounds(easy.get(), transfer, timeoutMs))
        result = Perform(easy.get(), cancel);
    HttpResponse response;
    response.cancelled = cancel;
    if (!Succeeded(result, transfer)) {
        response.error = curl_easy_strerror(result);
        return response;
    }
    ReadHead(easy.get(), response);
    response.body = std::move(transfer.body);
    return response;
}
