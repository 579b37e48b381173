// FetchPage against real HTTP servers on 127.0.0.1: what every request
// carries, URLs as pages and people write them, redirections, connections
// and TLS sessions kept between pages, the page cap, the proxy from the
// environment, cancelling, and the failures that must leave an empty page
// and say why.
#include "engine/page_fetcher.h"
#include "engine/page_scanner.h"
#include "support/csv_reader.h"
#include "support/http_test_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// A handler never holds a connection longer than this, even if a test fails.
constexpr auto kLongestHold = std::chrono::seconds(15);

// Clears the named environment variables and puts their old values back.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const char* old = std::getenv(name);
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Lets a handler hold its connection until the test is done with it.
class Gate {
public:
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }
    // True once open; false when the wait ran out first.
    template <typename Duration> bool WaitFor(Duration limit) {
        std::unique_lock lock(mutex_);
        return opened_.wait_for(lock, limit, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

struct SeenRequest {
    std::string target;
    httplib::Headers headers;
    int port; // the client's end: the same port, the same connection
};

// The requests handlers saw, handed safely to the test thread.
class RequestLog {
public:
    void Record(const httplib::Request& request) {
        std::lock_guard lock(mutex_);
        seen_.push_back(SeenRequest{request.target, request.headers, request.remote_port});
    }
    std::vector<SeenRequest> All() {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::optional<SeenRequest> Last() {
        std::lock_guard lock(mutex_);
        return seen_.empty() ? std::nullopt : std::optional(seen_.back());
    }

private:
    std::mutex mutex_;
    std::vector<SeenRequest> seen_;
};

// A port on 127.0.0.1 that never accepts. Unless it listens, connecting is
// refused; when it listens, the kernel still completes each connection, and
// WasConnected() tells whether one came.
class IdlePort {
public:
    explicit IdlePort(bool listening) : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        auto* raw = reinterpret_cast<sockaddr*>(&address);
        if (socket_ >= 0 && ::bind(socket_, raw, length) == 0 &&
            ::getsockname(socket_, raw, &length) == 0 && (!listening || ::listen(socket_, 8) == 0))
            port_ = ntohs(address.sin_port);
    }
    ~IdlePort() {
        if (socket_ >= 0)
            ::close(socket_);
    }
    std::string Url(const std::string& scheme) const {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + "/";
    }
    bool WasConnected() {
        const int connection = ::accept(socket_, nullptr, nullptr);
        if (connection < 0)
            return false;
        ::close(connection);
        return true;
    }

    int socket() const { return socket_; }

private:
    int socket_;
    int port_ = 0;
};

// A server on 127.0.0.1 that answers each connection's request with reply,
// written a byte every pause (at once when pause is zero), then closes it.
class RawServer {
public:
    RawServer(std::string reply, std::chrono::milliseconds pause)
        : reply_(std::move(reply)), pause_(pause), thread_([this] { Serve(); }) {}
    ~RawServer() {
        stop_ = true;
        thread_.join();
    }
    std::string Url(const std::string& path) const { return port_.Url("http") + path.substr(1); }
    int Connections() const { return connections_; }

private:
    void Serve() {
        pollfd waiting{port_.socket(), POLLIN, 0};
        while (!stop_)
            if (::poll(&waiting, 1, 20) == 1)
                Answer(::accept(port_.socket(), nullptr, nullptr));
    }
    void Answer(int connection) {
        ++connections_;
        std::string request(4096, '\0');
        ::recv(connection, request.data(), request.size(), 0);
        const std::size_t piece = pause_.count() ? 1 : reply_.size();
        for (std::size_t at = 0; at < reply_.size() && !stop_; at += piece) {
            ::send(connection, reply_.data() + at, std::min(piece, reply_.size() - at),
                   MSG_NOSIGNAL);
            std::this_thread::sleep_for(pause_);
        }
        ::close(connection);
    }

    IdlePort port_{true};
    const std::string reply_;
    const std::chrono::milliseconds pause_;
    std::atomic<bool> stop_ = false;
    std::atomic<int> connections_ = 0;
    std::thread thread_;
};

std::string BodyOfSize(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>('a' + i % 26);
    return body;
}

class PageFetcherTest : public testing::Test {
protected:
    void TearDown() override { release_.Open(); }

    // The fetcher is made at the first fetch, with the limits the test set
    // by then, and kept for the test's later fetches.
    void Fetch(const std::string& url) {
        if (!fetcher_)
            fetcher_.emplace(limits_);
        result_ = fetcher_->FetchPage(url, cancel_);
    }

    const std::string& Page() const { return result_.body; }

    Seconds TimeFetch(const std::string& url) {
        const auto start = Clock::now();
        Fetch(url);
        return Clock::now() - start;
    }

    void Serve(const std::string& path, const std::string& body, int status = 200) {
        server_.server().Get(path, [body, status](const httplib::Request&, httplib::Response& r) {
            r.status = status;
            r.set_content(body, "text/html");
        });
    }

    // Proxy settings of the machine would divert the loopback requests.
    ScopedEnvironment proxySettings_{"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy",
                                     "ALL_PROXY",  "no_proxy",    "NO_PROXY"};

    // Serves body at every path not served otherwise, logging each request.
    void ServeAnyPathLogged(const std::string& body) {
        server_.server().Get(".*",
                             [this, body](const httplib::Request& request, httplib::Response& r) {
                                 log_.Record(request);
                                 r.set_content(body, "text/html");
                             });
    }

    // Fetches url: the page must be body, and the server must have seen target.
    void ExpectFetchedAs(const std::string& url, const std::string& body,
                         const std::string& target) {
        Fetch(url);
        EXPECT_EQ(Page(), body);
        const auto seen = log_.Last();
        ASSERT_TRUE(seen);
        EXPECT_EQ(seen->target, target);
    }

    FetchLimits limits_;
    std::atomic<bool> cancel_ = false;
    FetchResult result_;
    // Outlive server_, whose handlers use them.
    Gate release_;
    RequestLog log_;
    HttpTestServer server_;
    std::optional<PageFetcher> fetcher_; // closes its connections before the server stops
};

TEST_F(PageFetcherTest, EveryHopCarriesAgentAndNoCacheHeadersButNoAcceptEncoding) {
    for (const auto& [from, to] : {std::pair{"/hop1", "/hop2"}, {"/hop2", "/"}})
        server_.server().Get(
            from, [this, location = to](const httplib::Request& request, httplib::Response& r) {
                log_.Record(request);
                r.set_redirect(location);
            });
    ServeAnyPathLogged("<title>seen</title>");
    server_.Start();

    Fetch(server_.Url("/hop1"));

    EXPECT_EQ(Page(), "<title>seen</title>");
    const std::vector<SeenRequest> seen = log_.All();
    ASSERT_EQ(seen.size(), 3u);
    for (const SeenRequest& request : seen) {
        SCOPED_TRACE(request.target);
        const auto header = [&request](const char* name) {
            const auto found = request.headers.find(name);
            return found == request.headers.end() ? std::string("(absent)") : found->second;
        };
        EXPECT_EQ(header("User-Agent"), kUserAgent);
        EXPECT_EQ(header("Cache-Control"), "no-cache");
        EXPECT_EQ(header("Pragma"), "no-cache");
        EXPECT_EQ(header("Accept-Encoding"), "(absent)");
        EXPECT_EQ(request.port, seen[0].port) << "every hop on the first hop's connection";
    }
}

TEST_F(PageFetcherTest, BodyArrivesByteForByteEvenWhenMarkedCompressed) {
    std::string body;
    for (int round = 0; round < 4; ++round)
        for (int byte = 0; byte < 256; ++byte)
            body += static_cast<char>(byte);
    server_.server().Get("/raw", [body](const httplib::Request&, httplib::Response& r) {
        r.set_header("Content-Encoding", "gzip");
        r.set_content(body, "application/octet-stream");
    });
    server_.Start();

    Fetch(server_.Url("/raw"));

    EXPECT_EQ(Page(), body);
}

// Each Location is resolved against the hop that sent it; one that is only
// a fragment leads back to that hop's own path and query.
TEST_F(PageFetcherTest, FollowsRedirectionsToTheFinalBody) {
    server_.server().Get("/a/b", [](const httplib::Request&, httplib::Response& r) {
        r.set_redirect("../c/d?x");
        r.set_content("moved", "text/plain");
    });
    std::atomic<int> hits = 0;
    server_.server().Get("/c/d", [&hits](const httplib::Request& request, httplib::Response& r) {
        if (hits++ == 0)
            return r.set_redirect("#fragment");
        r.set_content(request.target == "/c/d?x" ? "<title>arrived</title>" : request.target,
                      "text/html");
    });
    server_.Start();

    Fetch(server_.Url("/a/b"));

    EXPECT_EQ(Page(), "<title>arrived</title>");
    EXPECT_EQ(hits, 2);
}

// A 3xx whose Location holds nothing, or only whitespace, has no target: it
// is the page.
TEST_F(PageFetcherTest, ALocationOfOnlyWhitespaceIsNoRedirection) {
    for (const char* location :
         {"Location:\r\n", "Location: \r\n", "Location:\t\r\n", "Location: \n"}) {
        SCOPED_TRACE(location);
        RawServer server("HTTP/1.1 302 Found\r\n" + std::string(location) +
                             "Content-Length: 5\r\n\r\nmoved",
                         0ms);
        Fetch(server.Url("/page"));
        EXPECT_EQ(Page(), "moved");
        EXPECT_EQ(server.Connections(), 1) << "nothing requested after it";
    }
}

// Later pages reuse an open connection, but never one that a transfer left
// mid-response: its leftovers would be read as the next page.
TEST_F(PageFetcherTest, ConnectionsAreKeptForLaterPagesUnlessLeftMidResponse) {
    limits_.stallTimeoutSeconds = 1;
    server_.server().Get(".*", [this](const httplib::Request& request, httplib::Response& r) {
        log_.Record(request);
        if (request.path == "/long")
            return r.set_content(BodyOfSize(kPageCapacity + 100000), "text/html");
        if (request.path != "/held")
            return r.set_content("<title>page</title>", "text/html");
        r.set_content_provider(100, "text/html",
                               [this](std::size_t, std::size_t, httplib::DataSink& sink) {
                                   sink.write("<title>", 7);
                                   release_.WaitFor(kLongestHold);
                                   return false;
                               });
    });
    server_.Start();

    Fetch(server_.Url("/first"));
    // Capped, stalled, cancelled.
    for (const auto& [unfinished, cancel] :
         {std::pair{"/long", false}, {"/held", false}, {"/held", true}}) {
        std::thread canceller([this, cancelling = cancel] {
            std::this_thread::sleep_for(300ms);
            cancel_ = cancelling;
        });
        Fetch(server_.Url(unfinished));
        canceller.join();
        cancel_ = false;
        Fetch(server_.Url("/after"));
        EXPECT_EQ(Page(), "<title>page</title>");
    }

    const std::vector<SeenRequest> seen = log_.All();
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[1].port, seen[0].port) << "the second page reuses the first's connection";
    for (std::size_t i = 1; i < seen.size(); i += 2)
        EXPECT_NE(seen[i + 1].port, seen[i].port) << "after request " << i;
}

// A name whose lookup takes a second is looked up once: the next page, on
// a new connection, goes out on the answer kept from the first.
TEST_F(PageFetcherTest, NameAnswersAreKeptForLaterConnections) {
    server_.server().set_keep_alive_max_count(1);
    Serve("/", "<title>named</title>");
    server_.Start();
    const std::string url = "http://slow-1000.test:" + std::to_string(server_.port()) + "/";

    const Seconds first = TimeFetch(url);
    const Seconds second = TimeFetch(url);
    EXPECT_EQ(Page(), "<title>named</title>");
    EXPECT_GE(first.count(), 1.0);
    EXPECT_LT(second.count(), 0.5) << "the name was looked up again";
}

// A server that closes every connection after one reply still sees the
// fetcher resume its first TLS session instead of a full handshake.
TEST_F(PageFetcherTest, SecureSessionsAreResumedOnNewConnections) {
    limits_.trustedCertificates = ReadWholeFile(TORVESK_LOOPBACK_CERTIFICATE);
    httplib::SSLServer tls(TORVESK_LOOPBACK_CERTIFICATE, TORVESK_LOOPBACK_KEY);
    tls.set_keep_alive_max_count(1);
    tls.Get("/", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("<title>secure</title>", "text/html");
    });
    const int port = tls.bind_to_any_port("127.0.0.1");
    std::thread serving([&tls] { tls.listen_after_bind(); });

    for (int page = 0; page < 3; ++page) {
        Fetch("https://127.0.0.1:" + std::to_string(port) + "/");
        EXPECT_EQ(Page(), "<title>secure</title>");
    }
    fetcher_.reset();
    EXPECT_EQ(SSL_CTX_sess_accept(tls.ssl_context()), 3);
    EXPECT_EQ(SSL_CTX_sess_hits(tls.ssl_context()), 2);
    tls.stop();
    serving.join();
}

TEST_F(PageFetcherTest, ErrorStatusBodyIsThePage) {
    Serve("/missing", "<title>Not here</title>", 404);
    server_.Start();

    Fetch(server_.Url("/missing"));

    EXPECT_EQ(Page(), "<title>Not here</title>");
}

TEST_F(PageFetcherTest, BodyOfExactlyThePageCapacityArrivesWhole) {
    const std::string body = BodyOfSize(kPageCapacity);
    Serve("/full", body);
    server_.Start();

    Fetch(server_.Url("/full"));

    EXPECT_EQ(Page(), body);
}

TEST_F(PageFetcherTest, LongerBodyIsCutAtThePageCapacity) {
    const std::string body = BodyOfSize(kPageCapacity + 1);
    Serve("/long", body);
    server_.Start();

    Fetch(server_.Url("/long"));

    EXPECT_EQ(Page(), body.substr(0, kPageCapacity));
    EXPECT_FALSE(result_.cancelled);
}

TEST_F(PageFetcherTest, ProxyFromTheEnvironmentReceivesTheRequest) {
    ServeAnyPathLogged("via proxy");
    server_.Start();
    // The origin refuses connections, so only the proxy can produce a page.
    IdlePort origin(false);
    const std::string url = origin.Url("http") + "page";
    setenv("http_proxy", server_.Url("").c_str(), 1);

    Fetch(url);

    EXPECT_EQ(Page(), "via proxy");
    const auto seen = log_.Last();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->target, url) << "the proxy wants the absolute form";
    // Typed into the dialog, a Japanese name is stored in code page 932.
    ExpectFetchedAs("http://\x93\xfa\x96\x7b.example/x", "via proxy",
                    "http://xn--wgv71a.example/x");
}

// One line each, naming the hop that failed in its form as sent, and why.
TEST_F(PageFetcherTest, FailuresLeaveAnEmptyPageAndOneLineSayingWhereAndWhy) {
    limits_.stallTimeoutSeconds = 1;
    IdlePort refusing(false);
    server_.server().Get("/moved", [&refusing](const httplib::Request&, httplib::Response& r) {
        r.set_redirect(refusing.Url("http") + "x y");
    });
    server_.server().Get("/huge-header", [](const httplib::Request&, httplib::Response& r) {
        r.set_header("X-Filler", std::string(1024 * 1024, 'h'));
    });
    server_.Start();
    httplib::SSLServer tls(TORVESK_LOOPBACK_CERTIFICATE, TORVESK_LOOPBACK_KEY);
    const int tlsPort = tls.bind_to_any_port("127.0.0.1");
    std::thread tlsThread([&tls] { tls.listen_after_bind(); });
    const std::string http = server_.Url("/"),
                      https = "https://127.0.0.1:" + std::to_string(tlsPort) + "/";
    const std::pair<std::string, std::string> failures[] = {
        {"", "nothing fetched: no start address"},
        {" \r\n", "nothing fetched: no start address"},
        {"FILE:///etc/passwd",
         "fetching FILE:///etc/passwd failed: only http and https are fetched"},
        {"http://日本 .example/\n",
         "fetching http://%E6%97%A5%E6%9C%AC%20.example/ failed: host name not valid"},
        {http + "moved", "fetching " + refusing.Url("http") + "x%20y (redirected from " + http +
                             "moved) failed: could not connect"},
        {http + "huge-header",
         "fetching " + http + "huge-header failed: response header too large"},
        {https, "fetching " + https + " failed: certificate not trusted"},
    };
    for (const auto& [url, line] : failures) {
        SCOPED_TRACE("URL \"" + url + "\"");
        testing::internal::CaptureStderr();
        Fetch(url);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "torvesk: " + line + "\n");
        EXPECT_EQ(Page(), "");
    }
    tls.stop();
    tlsThread.join();
}

// A refused scheme fails at once, before any connection; the short bounds
// only keep a regression from hanging on a peer that never greets.
TEST_F(PageFetcherTest, ForeignSchemesAreRefusedAlsoAfterARedirection) {
    limits_.stallTimeoutSeconds = 1;
    limits_.totalTimeoutSeconds = 3;
    IdlePort ftp(true);
    for (const auto& [path, target] :
         {std::pair{"/to-ftp", ftp.Url("ftp")}, {"/to-file", std::string("file:///etc/passwd")}})
        server_.server().Get(path,
                             [location = target](const httplib::Request&, httplib::Response& r) {
                                 r.set_redirect(location);
                             });
    server_.Start();

    for (const std::string& url :
         {ftp.Url("ftp"), server_.Url("/to-ftp"), server_.Url("/to-file")}) {
        SCOPED_TRACE("URL \"" + url + "\"");
        Fetch(url);
        EXPECT_EQ(Page(), "");
        EXPECT_FALSE(ftp.WasConnected());
    }
}

TEST_F(PageFetcherTest, RedirectionLoopEndsAtTheRedirectionLimit) {
    limits_.maxRedirections = 5;
    limits_.totalTimeoutSeconds = 5;
    std::atomic<int> hits = 0;
    server_.server().Get("/loop", [&hits](const httplib::Request&, httplib::Response& r) {
        ++hits;
        r.set_redirect("/loop");
    });
    server_.Start();

    Fetch(server_.Url("/loop"));

    EXPECT_EQ(Page(), "");
    EXPECT_EQ(hits, 6) << "the first request and five redirections";
}

TEST_F(PageFetcherTest, ConnectionClosedMidBodyLeavesAnEmptyPage) {
    server_.server().Get("/cut", [](const httplib::Request&, httplib::Response& r) {
        r.set_content_provider(100, "text/html",
                               [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                   return offset == 0 && sink.write("<title>cut", 10);
                               });
    });
    server_.Start();

    Fetch(server_.Url("/cut"));

    EXPECT_EQ(Page(), "");
}

TEST_F(PageFetcherTest, StalledServerIsGivenUpAfterTheStallBound) {
    limits_.stallTimeoutSeconds = 2;
    limits_.totalTimeoutSeconds = 8;
    server_.server().Get("/stall", [this](const httplib::Request&, httplib::Response& r) {
        r.set_content_provider(100, "text/html",
                               [this](std::size_t, std::size_t, httplib::DataSink&) {
                                   release_.WaitFor(kLongestHold);
                                   return false;
                               });
    });
    // Bytes arrive for a while, then nothing: the bound counts from the last byte.
    server_.server().Get("/stall-late", [this](const httplib::Request&, httplib::Response& r) {
        r.set_chunked_content_provider(
            "text/html", [this](std::size_t offset, httplib::DataSink& sink) {
                if (offset >= 6) {
                    release_.WaitFor(kLongestHold);
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                return sink.write("x", 1);
            });
    });
    server_.Start();

    const Seconds early = TimeFetch(server_.Url("/stall"));
    EXPECT_EQ(Page(), "");
    EXPECT_GE(early.count(), 1.5);
    EXPECT_LT(early.count(), 4.0);

    const Seconds late = TimeFetch(server_.Url("/stall-late"));
    EXPECT_EQ(Page(), "");
    EXPECT_GE(late.count(), 4.5) << "six bytes half a second apart, then the 2 s bound";
    EXPECT_LT(late.count(), 7.0);
}

// Bytes of the head are data too, though libcurl shows no header line
// before it is complete.
TEST_F(PageFetcherTest, AHeadTricklingInIsNoStall) {
    limits_.stallTimeoutSeconds = 1;
    RawServer trickling("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nslow", 60ms);

    Fetch(trickling.Url("/"));

    EXPECT_EQ(Page(), "slow") << "a byte every 60 ms for 2.5 s";
}

TEST_F(PageFetcherTest, SlowTransferIsGivenUpAtTheTotalBound) {
    limits_.stallTimeoutSeconds = 2;
    limits_.totalTimeoutSeconds = 3;
    server_.server().Get("/slow", [this](const httplib::Request&, httplib::Response& r) {
        // A few bytes a second: never a stall, just never done.
        const auto giveUpAt = Clock::now() + kLongestHold;
        r.set_chunked_content_provider(
            "text/html", [this, giveUpAt](std::size_t, httplib::DataSink& sink) {
                return Clock::now() < giveUpAt &&
                       !release_.WaitFor(std::chrono::milliseconds(250)) && sink.write("x", 1);
            });
    });
    server_.Start();

    const Seconds elapsed = TimeFetch(server_.Url("/slow"));

    EXPECT_EQ(Page(), "");
    EXPECT_GE(elapsed.count(), 2.5);
    EXPECT_LT(elapsed.count(), 6.0);
}

// Quitting cancels a download from the GUI thread while the transfer waits
// on a silent server, or on a name lookup that takes 5 s: it must end at
// once, with nothing to analyse.
TEST_F(PageFetcherTest, CancelEndsATransferWithinAFractionOfASecond) {
    server_.server().Get("/silent", [this](const httplib::Request&, httplib::Response& r) {
        r.set_chunked_content_provider("text/html", [this](std::size_t, httplib::DataSink& sink) {
            sink.write("<title>", 7);
            release_.WaitFor(kLongestHold);
            return false;
        });
    });
    server_.Start();

    for (const std::string& url : {server_.Url("/silent"), std::string("http://slow-5000.test/")}) {
        SCOPED_TRACE(url);
        cancel_ = false;
        std::thread canceller([this] {
            std::this_thread::sleep_for(300ms);
            cancel_ = true;
        });
        testing::internal::CaptureStderr();
        const Seconds elapsed = TimeFetch(url);
        canceller.join();

        EXPECT_TRUE(result_.cancelled);
        EXPECT_EQ(Page(), "");
        EXPECT_LT(elapsed.count(), 2.0) << "the cancel was seen " << elapsed.count() << " s in";
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a cancel is no failure";
    }
}

TEST_F(PageFetcherTest, LinksWithSpacesOrRawNonAsciiBytesAreFetchedEncoded) {
    ServeAnyPathLogged("<title>found</title>");
    server_.Start();

    for (const auto& [path, target] : {std::pair{"/a b.html", "/a%20b.html"},
                                       {"/日本/", "/%E6%97%A5%E6%9C%AC/"},
                                       {"/\x83\x58.html", "/%83X.html"}}) {
        SCOPED_TRACE(path);
        ExpectFetchedAs(server_.Url(path), "<title>found</title>", target);
    }
}

// A Location header is taken as the server wrote it, like a link. Left to
// itself, libcurl would encode its own way: lower-case hex, "+" for a space
// in the query, quotes left raw.
TEST_F(PageFetcherTest, RawRedirectionTargetsAreEncodedLikeLinks) {
    std::vector<std::pair<std::string, std::string>> redirections; // Location, then the target
    server_.server().Get(R"(/from(\d+))",
                         [&redirections](const httplib::Request& request, httplib::Response& r) {
                             r.set_redirect(redirections.at(std::stoul(request.matches[1])).first);
                         });
    ServeAnyPathLogged("<title>arrived</title>");
    server_.Start();
    redirections = {
        {"/a b.html", "/a%20b.html"},
        {server_.Url("/abs path\x83\x58"), "/abs%20path%83X"},
        {"/日本 x.html?q=日本 \"<>",
         "/%E6%97%A5%E6%9C%AC%20x.html?q=%E6%97%A5%E6%9C%AC%20%22%3C%3E"},
    };

    for (std::size_t i = 0; i < redirections.size(); ++i) {
        SCOPED_TRACE(redirections[i].first);
        ExpectFetchedAs(server_.Url("/from" + std::to_string(i)), "<title>arrived</title>",
                        redirections[i].second);
    }
}

// Whatever the name looks like: libcurl alone would guess ftp or imap from it.
TEST_F(PageFetcherTest, TypedAddressesAreFetchedOverHttpWithoutTheirOuterSpaces) {
    Serve("/page", "<title>plain</title>");
    server_.Start();
    const std::string port = std::to_string(server_.port());

    for (const std::string& typed :
         {"127.0.0.1:" + port + "/page", "ftp.localhost:" + port + "/page",
          "imap.localhost:" + port + "/page", " \t" + server_.Url("/page") + " \r\n"}) {
        SCOPED_TRACE(typed);
        Fetch(typed);
        EXPECT_EQ(Page(), "<title>plain</title>");
    }
}

// Any request libcurl made would go to the proxy: a proxy that saw nothing
// shows that no name was looked up and nothing was sent. The rule holds for
// every hop.
TEST_F(PageFetcherTest, HostsUnderInvalidAreNeverLookedUp) {
    server_.server().Get(".*/to-invalid",
                         [this](const httplib::Request& request, httplib::Response& r) {
                             log_.Record(request);
                             r.set_redirect("http://c.invalid/");
                         });
    ServeAnyPathLogged("via proxy");
    server_.Start();
    setenv("http_proxy", server_.Url("").c_str(), 1);

    for (const std::string url : {"http://a.invalid/", "http://WWW.Example.INVALID./x.html",
                                  "b.invalid/page", "http://invalid/"}) {
        SCOPED_TRACE(url);
        const Seconds elapsed = TimeFetch(url);
        EXPECT_EQ(Page(), "");
        EXPECT_LT(elapsed.count(), 1.0);
    }
    EXPECT_FALSE(log_.Last());
    for (const std::string url : {"http://notinvalid/", "http://user.invalid@127.0.0.1:1/"}) {
        SCOPED_TRACE(url);
        Fetch(url);
        EXPECT_EQ(Page(), "via proxy") << "only the host counts, and only invalid and under it";
    }
    Fetch("http://127.0.0.1:1/to-invalid");
    EXPECT_EQ(Page(), "");
    EXPECT_EQ(log_.Last()->target, "http://127.0.0.1:1/to-invalid") << "nothing after it";
}

} // namespace
