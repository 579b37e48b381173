// HttpClient on libcurl: one easy handle and one multi handle kept for the
// client's life. The multi handle holds the connection cache and the DNS
// cache, the easy handle the TLS sessions. Each transfer is driven through
// the multi handle, so that the cancel flag is looked at every poll period.
// A transfer stalls when no byte has arrived on the client's connections
// for the stall bound. libcurl counts body bytes only and shows header lines
// only once complete, so the kernel's time of the last data received on
// each socket (TCP_INFO) is read instead: it also counts header bytes, TLS
// records and a proxy's replies.
#include "engine/http_client.h"

#include <curl/curl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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

// Failures in plain words; the stall and the time-outs are told apart first.
struct PlainWords {
    CURLcode code;
    const char* words;
};
constexpr PlainWords kFailures[] = {
    {CURLE_COULDNT_RESOLVE_HOST, "host name not found"},
    {CURLE_COULDNT_RESOLVE_PROXY, "proxy name not found"},
    {CURLE_COULDNT_CONNECT, "could not connect"},
    {CURLE_UNSUPPORTED_PROTOCOL, "only http and https are fetched"},
    {CURLE_URL_MALFORMAT, "not a valid address"},
    {CURLE_PEER_FAILED_VERIFICATION, "certificate not trusted"},
    {CURLE_SSL_CONNECT_ERROR, "secure connection failed"},
    // libcurl reports a header line past its size limit as lack of memory.
    {CURLE_OUT_OF_MEMORY, "response header too large"},
    {CURLE_GOT_NOTHING, "the server closed the connection without a reply"},
    {CURLE_PARTIAL_FILE, "the connection broke off before the page was complete"},
    {CURLE_RECV_ERROR, "the connection broke off"},
    {CURLE_SEND_ERROR, "the connection broke off"},
    {CURLE_WEIRD_SERVER_REPLY, "not an HTTP reply"},
};

bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

// The client's sockets, opened and closed through it, and when data last
// arrived on any of them.
class OpenSockets {
public:
    curl_socket_t Open(const curl_sockaddr& address) {
        const int socket =
            ::socket(address.family, address.socktype | SOCK_CLOEXEC, address.protocol);
        if (socket < 0)
            return CURL_SOCKET_BAD;
        sockets_.push_back(socket);
        return socket;
    }
    int Close(curl_socket_t socket) {
        sockets_.erase(std::remove(sockets_.begin(), sockets_.end(), socket), sockets_.end());
        return ::close(socket);
    }
    // The later of since and the last arrival of data on any socket.
    Clock::time_point LastArrival(Clock::time_point now, Clock::time_point since) const {
        for (const curl_socket_t socket : sockets_) {
            tcp_info info{};
            socklen_t length = sizeof info;
            if (getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &length) == 0)
                since = std::max(since, now - std::chrono::milliseconds(info.tcpi_last_data_recv));
        }
        return since;
    }

private:
    std::vector<curl_socket_t> sockets_;
};

curl_socket_t OpenSocket(void* sockets, curlsocktype, curl_sockaddr* address) {
    return static_cast<OpenSockets*>(sockets)->Open(*address);
}

int CloseSocket(void* sockets, curl_socket_t socket) {
    return static_cast<OpenSockets*>(sockets)->Close(socket);
}

// What the callbacks of one transfer share.
struct Transfer {
    Transfer(const FetchLimits& bounds, const OpenSockets& open) : limits(bounds), sockets(open) {}

    const FetchLimits& limits;
    const OpenSockets& sockets;
    std::string body;
    bool capReached = false;
    bool stalled = false;
    Clock::time_point lastArrival = Clock::now();
};

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
int AbortWhenStalled(void* userdata, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(userdata);
    const auto now = Clock::now();
    transfer.lastArrival = transfer.sockets.LastArrival(now, transfer.lastArrival);
    const auto stallLimit = std::chrono::seconds(transfer.limits.stallTimeoutSeconds);
    transfer.stalled = now - transfer.lastArrival >= stallLimit;
    return transfer.stalled ? 1 : 0;
}

bool AllSet(std::initializer_list<CURLcode> results) {
    return std::all_of(results.begin(), results.end(),
                       [](CURLcode result) { return result == CURLE_OK; });
}

// No Accept-Encoding is sent and nothing is decoded: the body stays as served.
// The proxy is left unset so that libcurl takes it from the environment.
bool SetRequest(CURL* easy, curl_slist* headers) {
    return AllSet({
        curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent),
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers),
        curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L),
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, KeepBodyBytes),
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kAllowedSchemes),
    });
}

bool SetBounds(CURL* easy, const FetchLimits& limits, OpenSockets& sockets) {
    return AllSet({
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds),
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L),
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, AbortWhenStalled),
        curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, OpenSocket),
        curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, &sockets),
        curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, CloseSocket),
        curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, &sockets),
        // Time-outs must not raise signals: the process runs other threads.
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L),
    });
}

bool SetTrust(CURL* easy, const std::string& certificates) {
    if (certificates.empty())
        return true;
    curl_blob blob{const_cast<char*>(certificates.data()), certificates.size(), CURL_BLOB_COPY};
    return curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob) == CURLE_OK;
}

bool SetTransfer(CURL* easy, const std::string& url, long timeoutMs, Transfer& transfer) {
    return AllSet({
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str()),
        curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs),
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer),
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer),
    });
}

// The cap stops the transfer with a write error; that is a complete page here.
bool Succeeded(CURLcode result, const Transfer& transfer) {
    return result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.capReached);
}

std::string Seconds(long seconds) {
    return std::to_string(seconds) + " s";
}

// libcurl has one code for both time-outs: a transfer that sent no request
// ran out of the connect bound, unless the overall one was the shorter.
std::string TimeoutReason(CURL* easy, const FetchLimits& limits, long timeoutMs) {
    long requestBytes = 0;
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &requestBytes);
    if (requestBytes == 0 && timeoutMs > limits.connectTimeoutSeconds * 1000)
        return "no connection within " + Seconds(limits.connectTimeoutSeconds);
    return "not complete within " + Seconds(limits.totalTimeoutSeconds);
}

std::string Reason(CURLcode result, const Transfer& transfer, CURL* easy, long timeoutMs) {
    if (result == CURLE_ABORTED_BY_CALLBACK && transfer.stalled)
        return "no data for " + Seconds(transfer.limits.stallTimeoutSeconds);
    if (result == CURLE_OPERATION_TIMEDOUT)
        return TimeoutReason(easy, transfer.limits, timeoutMs);
    const auto known =
        std::find_if(std::begin(kFailures), std::end(kFailures),
                     [result](const PlainWords& entry) { return entry.code == result; });
    return known != std::end(kFailures) ? known->words : curl_easy_strerror(result);
}

// The status and the raw Location header of a finished transfer.
void ReadHead(CURL* easy, HttpResponse& response) {
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &response.status);
    curl_header* location = nullptr;
    if (curl_easy_header(easy, "Location", 0, CURLH_HEADER, -1, &location) == CURLHE_OK)
        response.location = location->value;
}

} // namespace

// Declared in the order of their use: the kept connections close first,
// through the socket list, which goes last.
struct HttpClient::Handles {
    OpenSockets sockets;
    HeaderList headers;
    EasyHandle easy;
    MultiHandle multi;

    // A reload bypasses every cache on the way, as a forced refresh does.
    bool SetUp(const FetchLimits& limits) {
        headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
        easy.reset(curl_easy_init());
        multi.reset(curl_multi_init());
        return headers && curl_slist_append(headers.get(), "Pragma: no-cache") && easy && multi &&
               curl_multi_setopt(multi.get(), CURLMOPT_MAXCONNECTS, kMaxKeptConnections) ==
                   CURLM_OK &&
               SetRequest(easy.get(), headers.get()) && SetBounds(easy.get(), limits, sockets) &&
               SetTrust(easy.get(), limits.trustedCertificates);
    }

    // Runs the transfer to its end, looking at the cancel flag between polls.
    CURLcode Perform(const std::atomic<bool>& cancel) {
        if (curl_multi_add_handle(multi.get(), easy.get()) != CURLM_OK)
            return CURLE_FAILED_INIT;
        int running = 1;
        while (running > 0 && !cancel) {
            if (curl_multi_perform(multi.get(), &running) != CURLM_OK ||
                (running > 0 &&
                 curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr) != CURLM_OK))
                break;
        }
        CURLcode result = cancel ? CURLE_ABORTED_BY_CALLBACK : CURLE_RECV_ERROR;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
            if (message->msg == CURLMSG_DONE)
                result = message->data.result;
        Detach(cancel);
        return result;
    }

    // Taking an unfinished transfer out closes its connection. A cancel
    // (quitting) does not wait for a name lookup still running: its thread
    // is left to end on its own.
    void Detach(const std::atomic<bool>& cancel) {
        curl_easy_setopt(easy.get(), CURLOPT_QUICK_EXIT, cancel ? 1L : 0L);
        curl_multi_remove_handle(multi.get(), easy.get());
    }
};

HttpClient::HttpClient(const FetchLimits& limits) : limits_(limits) {
    auto handles = std::make_unique<Handles>();
    if (CurlReady() && handles->SetUp(limits_))
        handles_ = std::move(handles);
}

HttpClient::~HttpClient() = default;

HttpResponse HttpClient::Get(const std::string& url, long timeoutMs,
                             const std::atomic<bool>& cancel) {
    HttpResponse response;
    if (!handles_) {
        response.error = "the network library could not be set up";
        return response;
    }
    Transfer transfer(limits_, handles_->sockets);
    CURL* easy = handles_->easy.get();
    const CURLcode result =
        SetTransfer(easy, url, timeoutMs, transfer) ? handles_->Perform(cancel) : CURLE_FAILED_INIT;
    response.cancelled = cancel;
    if (!Succeeded(result, transfer)) {
        response.error = Reason(result, transfer, easy, timeoutMs);
        return response;
    }
    ReadHead(easy, response);
    response.body = std::move(transfer.body);
    return response;
}
