// The Internet client calls on libcurl. A root handle carries the user agent;
// opening a URL runs the whole transfer into a buffer that the request handle
// owns, and reads hand that buffer out piece by piece.
#include "internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>

// One type for both kinds of handle: a root uses the agent, a request the body.
struct InternetHandle {
    std::string agent;
    std::string body;
    std::size_t readOffset = 0;
};

namespace {

// Anything else (file:, ftp:, ...) is refused, also as a redirection target.
constexpr const char* kAllowedSchemes = "http,https";

struct EasyHandleCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct HeaderListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyHandleCleanup>;
using HeaderList = std::unique_ptr<curl_slist, HeaderListCleanup>;

// Where the write callback puts the body, and how much of it is kept.
struct BodySink {
    std::string& body;
    std::size_t capacity;
    bool capReached = false;
};

// When body bytes last arrived: a transfer that receives nothing for the
// stall bound fails, however slowly it received before.
struct StallWatch {
    std::chrono::seconds limit;
    curl_off_t bytesSeen = 0;
    std::chrono::steady_clock::time_point lastArrival = std::chrono::steady_clock::now();
};

bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// Keeps what fits; taking less than offered past the cap ends the transfer.
std::size_t KeepBodyBytes(char* data, std::size_t size, std::size_t count, void* userdata) {
    auto& sink = *static_cast<BodySink*>(userdata);
    const std::size_t offered = size * count;
    const std::size_t kept = std::min(offered, sink.capacity - sink.body.size());
    sink.body.append(data, kept);
    if (kept < offered)
        sink.capReached = true;
    return kept;
}

// libcurl calls this about once a second even while nothing arrives; a
// non-zero result aborts the transfer.
int AbortWhenStalled(void* userdata, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
    auto& watch = *static_cast<StallWatch*>(userdata);
    const auto now = std::chrono::steady_clock::now();
    if (received != watch.bytesSeen) {
        watch.bytesSeen = received;
        watch.lastArrival = now;
    }
    return now - watch.lastArrival >= watch.limit ? 1 : 0;
}

// A reload bypasses every cache on the way, as a forced refresh does.
bool AddReloadHeaders(HeaderList& headers) {
    headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    return headers && curl_slist_append(headers.get(), "Pragma: no-cache") != nullptr;
}

bool AllSet(std::initializer_list<CURLcode> results) {
    return std::all_of(results.begin(), results.end(),
                       [](CURLcode result) { return result == CURLE_OK; });
}

// No Accept-Encoding is sent and nothing is decoded: the body stays as served.
// The proxy is left unset so that libcurl takes it from the environment.
bool SetRequest(CURL* easy, const char* url, const std::string& agent, curl_slist* headers,
                BodySink& sink) {
    return AllSet({
        curl_easy_setopt(easy, CURLOPT_URL, url),
        curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str()),
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers),
        curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L),
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, KeepBodyBytes),
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink),
    });
}

bool SetBounds(CURL* easy, const FetchLimits& limits, StallWatch& stall) {
    return AllSet({
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kAllowedSchemes),
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedSchemes),
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L),
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, limits.maxRedirections),
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds),
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L),
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, AbortWhenStalled),
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &stall),
        curl_easy_setopt(easy, CURLOPT_TIMEOUT, limits.totalTimeoutSeconds),
        // Time-outs must not raise signals: the process runs other threads.
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L),
    });
}

// The cap stops the transfer with a write error; that is a complete page here.
bool TransferSucceeded(CURLcode result, const BodySink& sink) {
    return result == CURLE_OK || (result == CURLE_WRITE_ERROR && sink.capReached);
}

bool Transfer(const std::string& agent, const char* url, DWORD flags, std::string& body) {
    const FetchLimits limits = InternetFetchLimits();
    EasyHandle easy(curl_easy_init());
    HeaderList headers;
    if (!easy || ((flags & INTERNET_FLAG_RELOAD) != 0 && !AddReloadHeaders(headers)))
        return false;
    BodySink sink{body, limits.maxBodyBytes};
    StallWatch stall{std::chrono::seconds(limits.stallTimeoutSeconds)};
    if (!SetRequest(easy.get(), url, agent, headers.get(), sink) ||
        !SetBounds(easy.get(), limits, stall))
        return false;
    return TransferSucceeded(curl_easy_perform(easy.get()), sink);
}

} // namespace

FetchLimits& InternetFetchLimits() {
    static FetchLimits limits;
    return limits;
}

// Only the preconfigured access type exists: the proxy comes from the environment.
HINTERNET InternetOpenA(const char* agent, DWORD /*accessType*/, const char* /*proxy*/,
                        const char* /*proxyBypass*/, DWORD /*flags*/) {
    if (!CurlReady())
        return nullptr;
    auto root = std::make_unique<InternetHandle>();
    if (agent != nullptr)
        root->agent = agent;
    return root.release();
}

HINTERNET InternetOpenUrlA(HINTERNET internet, const char* url, const char* /*headers*/,
                           DWORD /*headersLength*/, DWORD flags, DWORD_PTR /*context*/) {
    if (internet == nullptr || url == nullptr)
        return nullptr;
    auto request = std::make_unique<InternetHandle>();
    if (!Transfer(internet->agent, url, flags, request->body))
        return nullptr;
    return request.release();
}

BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD bytesToRead, DWORD* bytesRead) {
    if (bytesRead == nullptr)
        return FALSE;
    *bytesRead = 0;
    if (request == nullptr || (buffer == nullptr && bytesToRead > 0))
        return FALSE;
    const std::size_t remaining = request->body.size() - request->readOffset;
    const std::size_t count = std::min<std::size_t>(remaining, bytesToRead);
    if (count > 0)
        std::memcpy(buffer, request->body.data() + request->readOffset, count);
    request->readOffset += count;
    *bytesRead = static_cast<DWORD>(count);
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
    if (handle == nullptr)
        return FALSE;
    delete handle;
    return TRUE;
}
