// HttpClient on libcurl: one easy handle kept for the client's life and a
// multi handle renewed after every kConnectionsPerCache connections opened.
// The multi handle holds the connection cache and the DNS cache, the easy
// handle the TLS sessions (a few, the library's bound). Each transfer is driven through
// the multi handle, so that the cancel flag and the stall rule are looked
// at every poll period. The client opens and closes every socket itself
// (ClientSockets): before and after a transfer it silences the kept ones
// that were spoken on or lead to a distrusted server, and during one it
// reads the kernel's time of the last data on the transfer's own
// connection, which also counts header bytes, TLS records and a proxy's
// replies, none of which libcurl reports as progress.
#include "engine/http_client.h"

#include "engine/client_sockets.h"
#include "engine/url_parts.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>
#include <strings.h>

namespace torvesk::engine {

namespace {

using Clock = std::chrono::steady_clock;

// Anything else (file:, ftp:, ...) is refused, also as a redirection target.
constexpr const char* kAllowedSchemes = "http,https";
constexpr int kPollMs = 50; // how late a cancel or a stall may be seen
constexpr long kRequestTimeout = 408;
constexpr std::string_view kSwitchingProtocols = "101";
// The connection cache keeps an entry for each host whose last connection
// it closed to make room, and walks all of them for every transfer, as the
// DNS cache walks its answers: renewing both after this many connections
// bounds their upkeep per page, whatever the hosts seen. A crawl of one
// host opens no new ones and keeps its connection.
constexpr long kConnectionsPerCache = 256;
// OpenSSL's X509_V_ERR_CERT_HAS_EXPIRED.
constexpr long kCertificateExpired = 10;

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
struct UrlCleanup {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListCleanup>;
using UrlHandle = std::unique_ptr<CURLU, UrlCleanup>;

// Failures in plain words, for the codes whose cause needs nothing more.
struct PlainWords {
    CURLcode code;
    const char* words;
};
constexpr PlainWords kFailures[] = {
    {CURLE_COULDNT_RESOLVE_HOST, "host name not found"},
    {CURLE_COULDNT_CONNECT, "could not connect"},
    {CURLE_URL_MALFORMAT, "not a valid address"},
    {CURLE_SSL_CONNECT_ERROR, "secure connection failed"},
    // libcurl reports a header line past its size limit as lack of memory.
    {CURLE_OUT_OF_MEMORY, "response header too large"},
    {CURLE_GOT_NOTHING, "the server closed the connection without a reply"},
    {CURLE_PARTIAL_FILE, "the connection broke off before the page was complete"},
    {CURLE_RECV_ERROR, "the connection broke off"},
    {CURLE_SEND_ERROR, "the connection broke off"},
    {CURLE_WEIRD_SERVER_REPLY, "not an HTTP reply"},
};

CURLcode GlobalInit() {
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    return result;
}

curl_socket_t OpenSocket(void* sockets, curlsocktype, curl_sockaddr* address) {
    const int socket = static_cast<ClientSockets*>(sockets)->Open(
        address->family, address->socktype, address->protocol);
    return socket < 0 ? CURL_SOCKET_BAD : socket;
}

int CloseSocket(void* sockets, curl_socket_t socket) {
    return static_cast<ClientSockets*>(sockets)->Close(socket);
}

// Called once the transfer has its connection, new or kept, before the request.
int NoteConnection(void* sockets, char* peerAddress, char*, int peerPort, int localPort) {
    static_cast<ClientSockets*>(sockets)->UsingConnection(localPort, peerAddress, peerPort);
    return CURL_PREREQFUNC_OK;
}

// What the callbacks of one transfer share, and how it ended.
struct Transfer {
    explicit Transfer(const FetchLimits& bounds) : limits(bounds) {}

    const FetchLimits& limits;
    std::string body;
    bool capReached = false;
    bool connected = false; // a TCP connection of its own came up
    bool stalled = false;
    bool switchedUnasked = false; // a 101 came, though no protocol switch was asked for
    std::string multiFailure;     // why the multi handle could not drive it; empty when it could
};

// No switch is ever asked for, so a 101 ends the transfer: what follows it
// is no HTTP this client reads.
std::size_t ReadHeaderLine(char* data, std::size_t size, std::size_t count, void* userdata) {
    auto& transfer = *static_cast<Transfer*>(userdata);
    const std::string_view line(data, size * count);
    const std::size_t code = line.find(' ');
    if (line.starts_with("HTTP/") && code != line.npos &&
        line.substr(code + 1).starts_with(kSwitchingProtocols)) {
        transfer.switchedUnasked = true;
        return 0;
    }
    return size * count;
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

// Sets options one after the other; the first that fails is kept, in words.
class Options {
public:
    explicit Options(CURL* easy) : easy_(easy) {}

    template <typename Value> Options& Set(const char* what, CURLoption option, Value value) {
        if (failure_.empty())
            if (const CURLcode code = curl_easy_setopt(easy_, option, value); code != CURLE_OK)
                failure_ = std::string("setting ") + what + " failed: " + curl_easy_strerror(code);
        return *this;
    }
    const std::string& failure() const { return failure_; }

private:
    CURL* easy_;
    std::string failure_;
};

// No Accept-Encoding is sent and nothing is decoded: the body stays as
// served. HTTP/1.1 only: one transfer at a time gains nothing from more,
// and the trust in a kept connection rests on its plain framing.
void SetRequest(Options& options, curl_slist* headers, char* errorWords) {
    options.Set("the user agent", CURLOPT_USERAGENT, kUserAgent)
        .Set("the request headers", CURLOPT_HTTPHEADER, headers)
        .Set("the content decoding", CURLOPT_HTTP_CONTENT_DECODING, 0L)
        .Set("the body callback", CURLOPT_WRITEFUNCTION, KeepBodyBytes)
        .Set("the header callback", CURLOPT_HEADERFUNCTION, ReadHeaderLine)
        .Set("the allowed schemes", CURLOPT_PROTOCOLS_STR, kAllowedSchemes)
        .Set("the HTTP version", CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1})
        .Set("the error buffer", CURLOPT_ERRORBUFFER, errorWords)
        // The proxy is chosen per request, never from the environment by libcurl.
        .Set("the proxy exceptions", CURLOPT_NOPROXY, "");
}

// Time-outs must not raise signals (the process runs other threads) nor
// wait for a name lookup still running.
void SetBounds(Options& options, const FetchLimits& limits) {
    options.Set("the connect bound", CURLOPT_CONNECTTIMEOUT_MS, long{limits.connectTimeout.count()})
        .Set("signal-free time-outs", CURLOPT_NOSIGNAL, 1L)
        .Set("the quick exit", CURLOPT_QUICK_EXIT, 1L);
}

void SetSockets(Options& options, ClientSockets& sockets) {
    options.Set("the socket opener", CURLOPT_OPENSOCKETFUNCTION, OpenSocket)
        .Set("the socket opener's data", CURLOPT_OPENSOCKETDATA, &sockets)
        .Set("the socket closer", CURLOPT_CLOSESOCKETFUNCTION, CloseSocket)
        .Set("the socket closer's data", CURLOPT_CLOSESOCKETDATA, &sockets)
        .Set("the connection callback", CURLOPT_PREREQFUNCTION, NoteConnection)
        .Set("the connection callback's data", CURLOPT_PREREQDATA, &sockets);
}

void SetTrust(Options& options, const std::string& certificates) {
    if (certificates.empty())
        return;
    curl_blob blob{const_cast<char*>(certificates.data()), certificates.size(), CURL_BLOB_COPY};
    options.Set("the trusted certificates", CURLOPT_CAINFO_BLOB, &blob);
}

// The cap stops the transfer with a write error; that is a complete page here.
bool Succeeded(CURLcode result, const Transfer& transfer) {
    return result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.capReached);
}

long LongInfo(CURL* easy, CURLINFO info) {
    long value = 0;
    curl_easy_getinfo(easy, info, &value);
    return value;
}

curl_off_t TimeInfo(CURL* easy, CURLINFO info) {
    curl_off_t value = 0;
    curl_easy_getinfo(easy, info, &value);
    return value;
}

// How a transfer that failed ended, for the words that say why.
struct Ending {
    CURLcode result;
    const Transfer& transfer;
    std::chrono::milliseconds timeout;
    const std::optional<Proxy>& proxy;
    const char* errorWords; // libcurl's own message
};

// Connected, but a TLS handshake that never completed, with the origin
// itself or through a proxy's tunnel that was open.
bool HandshakeUnanswered(CURL* easy, const Ending& end) {
    const char* scheme = nullptr;
    curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
    return scheme && strcasecmp(scheme, "https") == 0 && end.transfer.connected &&
           (!end.proxy || LongInfo(easy, CURLINFO_HTTP_CONNECTCODE) / 100 == 2) &&
           TimeInfo(easy, CURLINFO_APPCONNECT_TIME_T) == 0;
}

// libcurl has one code for both time-outs: a transfer that sent no request
// ran out of the connect bound, unless the overall one was the shorter.
std::string TimeoutReason(CURL* easy, const Ending& end, const FetchLimits& limits) {
    if (HandshakeUnanswered(easy, end))
        return "no answer to the secure handshake within " + BoundInWords(limits.connectTimeout);
    if (end.transfer.stalled)
        return "no data for " + BoundInWords(limits.stallTimeout);
    if (LongInfo(easy, CURLINFO_REQUEST_SIZE) == 0 && end.timeout > limits.connectTimeout)
        return "no connection within " + BoundInWords(limits.connectTimeout);
    return "not complete within " + BoundInWords(limits.totalTimeout);
}

std::optional<std::string> ProxyReason(CURL* easy, const Ending& end) {
    if (!end.proxy)
        return std::nullopt;
    const std::string& name = end.proxy->name;
    const long tunnel = LongInfo(easy, CURLINFO_HTTP_CONNECTCODE);
    if (tunnel != 0 && tunnel / 100 != 2)
        return "proxy " + name + " refused the connection with status " + std::to_string(tunnel);
    if (end.result == CURLE_COULDNT_RESOLVE_PROXY)
        return "proxy " + name + " not found";
    if (end.result == CURLE_COULDNT_CONNECT)
        return "could not connect to proxy " + name;
    return std::nullopt;
}

// libcurl checks the name itself, once the chain is verified, and tells
// only in its message that the name was wrong.
std::string CertificateReason(CURL* easy, const Ending& end) {
    if (LongInfo(easy, CURLINFO_SSL_VERIFYRESULT) == kCertificateExpired)
        return "certificate expired";
    if (std::strstr(end.errorWords, "host name"))
        return "certificate issued for another name";
    return "certificate not trusted";
}

// A reply that is not HTTP at all fails as an unknown protocol too, but
// only once the request has gone out.
std::string ReplyReason(CURL* easy, const Ending& end) {
    if (end.result == CURLE_UNSUPPORTED_PROTOCOL)
        return LongInfo(easy, CURLINFO_REQUEST_SIZE) > 0 ? "not an HTTP reply"
                                                         : "only http and https are fetched";
    if (end.result == CURLE_RECV_ERROR && std::strstr(end.errorWords, "chunk"))
        return "malformed chunked body";
    const auto known =
        std::find_if(std::begin(kFailures), std::end(kFailures),
                     [&end](const PlainWords& entry) { return entry.code == end.result; });
    return known != std::end(kFailures) ? known->words : curl_easy_strerror(end.result);
}

// OpenSSL's words for a first record that is no TLS at all, such as the
// start of a plain HTTP reply.
bool AnsweredInTheClear(const Ending& end) {
    return end.result == CURLE_SSL_CONNECT_ERROR && std::strstr(end.errorWords, "wrong version");
}

std::string Reason(CURL* easy, const Ending& end, const FetchLimits& limits) {
    if (!end.transfer.multiFailure.empty())
        return end.transfer.multiFailure;
    if (end.transfer.switchedUnasked)
        return "the server switched to another protocol (101) unasked";
    if (AnsweredInTheClear(end))
        return "the server answered in plain HTTP, not in TLS";
    if (end.transfer.stalled || end.result == CURLE_OPERATION_TIMEDOUT)
        return TimeoutReason(easy, end, limits);
    if (std::optional<std::string> proxy = ProxyReason(easy, end))
        return *proxy;
    if (end.result == CURLE_PEER_FAILED_VERIFICATION)
        return CertificateReason(easy, end);
    return ReplyReason(easy, end);
}

// The status and the raw Location header of a finished transfer.
void ReadHead(CURL* easy, HttpResponse& response) {
    response.status = LongInfo(easy, CURLINFO_RESPONSE_CODE);
    curl_header* location = nullptr;
    if (curl_easy_header(easy, "Location", 0, CURLH_HEADER, -1, &location) == CURLHE_OK)
        response.location = location->value;
}

HttpResponse Failure(std::string why) {
    HttpResponse response;
    response.error = std::move(why);
    return response;
}

// A kept connection that breaks as the request goes out, however the kernel
// tells it, or answers with something other than HTTP, has given no byte of
// a response to this request.
bool BrokeBeforeAnyAnswer(CURL* easy, CURLcode result) {
    const bool broke =
        result == CURLE_SEND_ERROR || result == CURLE_RECV_ERROR || result == CURLE_GOT_NOTHING ||
        result == CURLE_WEIRD_SERVER_REPLY ||
        (result == CURLE_UNSUPPORTED_PROTOCOL && LongInfo(easy, CURLINFO_REQUEST_SIZE) > 0);
    return broke && LongInfo(easy, CURLINFO_HEADER_SIZE) == 0;
}

bool NotHttp(CURLcode result) {
    return result == CURLE_WEIRD_SERVER_REPLY || result == CURLE_UNSUPPORTED_PROTOCOL;
}

// One request as sent once, and whether it went out on a kept connection.
struct Attempt {
    HttpResponse response;
    bool reused = false;
    bool brokeBeforeAnswer = false;

    // A server may close an idle connection at any time, with a 408, a
    // close or a reset, just as the request goes out: the request did not
    // reach it, so it goes out once more.
    bool Unanswered() const {
        return reused && !response.cancelled &&
               (brokeBeforeAnswer ||
                (response.error.empty() && response.status == kRequestTimeout));
    }
};

// What the library matches kept connections on for a request to url: the
// proxy it goes through, or else its scheme, host and port, read as the
// library reads them. Names that differ only in case or in a final dot are
// one. Empty, which stands for every origin, when url does not parse.
std::string ConnectionOrigin(const std::string& url, const std::optional<Proxy>& proxy) {
    if (proxy)
        return "proxy " + proxy->url;
    const UrlHandle parts(curl_url());
    if (!parts || curl_url_set(parts.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return "";
    std::string origin;
    for (const CURLUPart part : {CURLUPART_SCHEME, CURLUPART_HOST, CURLUPART_PORT}) {
        char* text = nullptr;
        if (curl_url_get(parts.get(), part, &text, CURLU_DEFAULT_PORT) != CURLUE_OK)
            return "";
        std::string piece(text);
        curl_free(text);
        if (part == CURLUPART_HOST && piece.ends_with('.'))
            piece.pop_back();
        origin += piece + ' ';
    }
    return LowerCase(std::move(origin));
}

bool IsSecure(const std::string& url) {
    return strncasecmp(url.c_str(), "https:", 6) == 0;
}

} // namespace

struct HttpClient::Handles {
    ClientSockets sockets;
    HeaderList headers;
    EasyHandle easy;
    MultiHandle multi;
    char errorWords[CURL_ERROR_SIZE] = "";
    std::string failure;        // why the handles could not be set up; empty when they could
    long connectionsOpened = 0; // through the current multi handle

    explicit Handles(const FetchLimits& limits) { failure = SetUp(limits); }

    // The kept connections close (through sockets) before sockets goes.
    ~Handles() {
        multi.reset();
        easy.reset();
    }

    // A reload bypasses every cache on the way, as a forced refresh does.
    std::string SetUp(const FetchLimits& limits) {
        if (!sockets.failure().empty())
            return sockets.failure();
        if (const CURLcode code = GlobalInit(); code != CURLE_OK)
            return std::string("starting the library failed: ") + curl_easy_strerror(code);
        headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
        if (!headers || !curl_slist_append(headers.get(), "Pragma: no-cache"))
            return "making the request headers failed";
        easy.reset(curl_easy_init());
        if (!easy)
            return "making the transfer handle failed";
        if (std::string failed = RenewCaches(); !failed.empty())
            return failed;
        Options options(easy.get());
        SetRequest(options, headers.get(), errorWords);
        SetBounds(options, limits);
        SetSockets(options, sockets);
        SetTrust(options, limits.trustedCertificates);
        return options.failure();
    }

    // A new multi handle: empty caches; the old one closes its connections.
    std::string RenewCaches() {
        multi.reset(curl_multi_init());
        connectionsOpened = 0;
        if (!multi)
            return "making the transfer handles failed";
        const CURLMcode code =
            curl_multi_setopt(multi.get(), CURLMOPT_MAXCONNECTS, kMaxKeptConnections);
        if (code != CURLM_OK)
            return std::string("setting the kept connections failed: ") + curl_multi_strerror(code);
        return "";
    }

    // Between requests; a failure to renew is the next request's.
    void RenewCachesWhenFull() {
        if (connectionsOpened >= kConnectionsPerCache)
            failure = RenewCaches();
    }

    Attempt Send(const std::string& url, const std::optional<Proxy>& proxy,
                 std::chrono::milliseconds timeout, bool freshConnection,
                 const std::atomic<bool>& cancel, const FetchLimits& limits) {
        Transfer transfer(limits);
        const std::string origin = ConnectionOrigin(url, proxy);
        sockets.AwaitSettled(origin);
        const bool kept = sockets.SilenceUntrusted();
        Options options(easy.get());
        options.Set("the address", CURLOPT_URL, url.c_str())
            .Set("the time limit", CURLOPT_TIMEOUT_MS, long{timeout.count()})
            .Set("the body's destination", CURLOPT_WRITEDATA, &transfer)
            .Set("the header lines' destination", CURLOPT_HEADERDATA, &transfer)
            .Set("the proxy", CURLOPT_PROXY, proxy ? proxy->url.c_str() : "")
            .Set("a new connection", CURLOPT_FRESH_CONNECT, freshConnection || !kept ? 1L : 0L);
        if (!options.failure().empty())
            return Attempt{Failure(options.failure())};
        const CURLcode result = Perform(transfer, IsSecure(url), cancel);
        const long opened = LongInfo(easy.get(), CURLINFO_NUM_CONNECTS);
        connectionsOpened += opened;
        Attempt attempt{HttpResponse{}, opened == 0};
        attempt.response.cancelled = cancel;
        attempt.brokeBeforeAnswer = transfer.multiFailure.empty() && !transfer.stalled &&
                                    BrokeBeforeAnyAnswer(easy.get(), result);
        if ((attempt.reused && attempt.brokeBeforeAnswer && NotHttp(result)) ||
            (Succeeded(result, transfer) && !IsSecure(url) && CameWithMore(transfer)))
            DistrustPeer();
        sockets.TransferEnded(origin);
        sockets.SilenceUntrusted();
        if (!Succeeded(result, transfer) || !transfer.multiFailure.empty()) {
            const Ending end{result, transfer, timeout, proxy, errorWords};
            attempt.response.error = Reason(easy.get(), end, limits);
            return attempt;
        }
        ReadHead(easy.get(), attempt.response);
        attempt.response.body = std::move(transfer.body);
        return attempt;
    }

    // Whether the connection received more than the response it framed:
    // bytes that came with it but belong to no request, which the library
    // drops with the connection. Only the clear framing of a whole response
    // can be counted so.
    bool CameWithMore(const Transfer& transfer) {
        curl_header* coding = nullptr;
        const bool chunked = curl_easy_header(easy.get(), "Transfer-Encoding", 0, CURLH_HEADER, -1,
                                              &coding) == CURLHE_OK;
        const std::optional<std::uint64_t> received = sockets.ReceivedInTransfer();
        const auto framed =
            static_cast<std::uint64_t>(LongInfo(easy.get(), CURLINFO_HEADER_SIZE) +
                                       TimeInfo(easy.get(), CURLINFO_SIZE_DOWNLOAD_T));
        return !chunked && !transfer.capReached && received && *received > framed;
    }

    // The server the last transfer's connection led to.
    void DistrustPeer() {
        const char* address = nullptr;
        if (curl_easy_getinfo(easy.get(), CURLINFO_PRIMARY_IP, &address) == CURLE_OK && address)
            sockets.Distrust(address,
                             static_cast<int>(LongInfo(easy.get(), CURLINFO_PRIMARY_PORT)));
    }

    // Runs the transfer to its end, looking at the cancel flag and at the
    // stall rule between polls. Taking an unfinished transfer out closes
    // its connection.
    CURLcode Perform(Transfer& transfer, bool secure, const std::atomic<bool>& cancel) {
        errorWords[0] = '\0';
        sockets.BeginTransfer(Clock::now(), secure);
        if (!Driven(transfer, "starting", curl_multi_add_handle(multi.get(), easy.get())))
            return CURLE_FAILED_INIT;
        int running = 1;
        while (running > 0 && !cancel && !transfer.stalled) {
            if (!Driven(transfer, "running", curl_multi_perform(multi.get(), &running)) ||
                (running > 0 &&
                 !Driven(transfer, "waiting for",
                         curl_multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr))))
                break;
            transfer.connected = transfer.connected || sockets.Connected();
            transfer.stalled = running > 0 && transfer.connected &&
                               sockets.QuietFor(Clock::now()) >= transfer.limits.stallTimeout;
        }
        CURLcode result = cancel ? CURLE_ABORTED_BY_CALLBACK : CURLE_RECV_ERROR;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
            if (message->msg == CURLMSG_DONE)
                result = message->data.result;
        Driven(transfer, "ending", curl_multi_remove_handle(multi.get(), easy.get()));
        return result;
    }

    // Whether a call on the multi handle succeeded; its code in words when
    // it did not.
    static bool Driven(Transfer& transfer, const char* what, CURLMcode code) {
        if (code == CURLM_OK)
            return true;
        if (transfer.multiFailure.empty())
            transfer.multiFailure =
                std::string(what) + " the transfer failed: " + curl_multi_strerror(code);
        return false;
    }
};

HttpClient::HttpClient(const FetchLimits& limits)
    : limits_(limits), handles_(std::make_unique<Handles>(limits_)) {}

HttpClient::~HttpClient() = default;

HttpResponse HttpClient::Get(const std::string& url, const std::optional<Proxy>& proxy,
                             std::chrono::milliseconds timeout, const std::atomic<bool>& cancel) {
    if (!handles_->failure.empty())
        return Failure("the network library could not be set up: " + handles_->failure);
    const auto deadline = Clock::now() + timeout;
    Attempt attempt = handles_->Send(url, proxy, timeout, false, cancel, limits_);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (attempt.Unanswered() && !cancel && left.count() > 0)
        attempt = handles_->Send(url, proxy, left, true, cancel, limits_);
    handles_->RenewCachesWhenFull();
    return attempt.response;
}

} // namespace torvesk::engine
