// Fuzz target for kept connections: one HttpClient makes two or three
// requests in a row to a loopback server whose replies the input scripts:
// each framed by its length, in chunks or by a close, or by a length that
// falls short, the tail sent late: just before the next answer on that
// connection; cut into pieces sent a moment apart; followed on the
// connection by a stray CR LF, other bytes or a whole response nobody asked
// for; the connection then kept, closed or reset; a first attempt dropped
// by a close, a reset or a 408. Except for a late tail, the server finishes
// all it sends for a request before the client makes the next, so on
// loopback those bytes are already there when the next request begins. The
// oracle: each page is the body of a response the server sent for that very
// request (short of its tail), or the request failed; never bytes meant for
// another.
#include "engine/http_client.h"
#include "engine/loopback_server.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace torvesk::engine;

namespace {

using namespace std::chrono_literals;

constexpr int kMaxRequests = 3;
constexpr std::size_t kMaxBodyBytes = 48;
constexpr std::size_t kMaxJunkBytes = 16;
constexpr int kMaxPieces = 3;
constexpr int kMaxPauseMs = 2; // a server slow on purpose, but only just
constexpr auto kServedWithin = 1s;
constexpr auto kIdleWithin = 5s; // the server's wait for the next request on a connection

enum class Framing { Length, Chunks, Close, ShortLength };
enum class FirstAttempt { Answered, Closed, Reset, TimedOut };
enum class After { Nothing, StrayLineEnd, Junk, Response, Reset };

// What the server does with one request.
struct Script {
    Framing framing;
    std::string body;
    std::size_t chunkSize;
    std::vector<std::size_t> cuts; // where the reply is cut into pieces
    int pauseMs;
    FirstAttempt first;
    After after;
    std::string extra; // the junk, or the body of the response nobody asked for
    bool close;
    std::size_t shortBy; // with a short length, the bytes of the body's late tail

    std::string Framed() const { return body.substr(0, body.size() - shortBy); }
};

Script ScriptFrom(FuzzedDataProvider& input, int request) {
    Script script;
    script.framing = static_cast<Framing>(input.ConsumeIntegralInRange(0, 3));
    script.body = std::to_string(request) + ":" + input.ConsumeRandomLengthString(kMaxBodyBytes);
    script.shortBy = script.framing == Framing::ShortLength
                         ? input.ConsumeIntegralInRange<std::size_t>(1, script.body.size())
                         : 0;
    // A tail that made a whole response could not be told from an answer.
    if (script.shortBy > 0)
        script.body[script.body.size() - script.shortBy] = '~';
    script.chunkSize = input.ConsumeIntegralInRange<std::size_t>(1, 16);
    const int pieces = input.ConsumeIntegralInRange(1, kMaxPieces);
    for (int piece = 1; piece < pieces; ++piece)
        script.cuts.push_back(input.ConsumeIntegral<std::uint8_t>());
    script.pauseMs = input.ConsumeIntegralInRange(0, kMaxPauseMs);
    script.first = static_cast<FirstAttempt>(input.ConsumeIntegralInRange(0, 3));
    script.after = static_cast<After>(input.ConsumeIntegralInRange(0, 4));
    script.extra = (script.after == After::Response ? "!" : "") +
                   input.ConsumeRandomLengthString(kMaxJunkBytes);
    script.close =
        script.framing == Framing::Close || script.after == After::Reset || input.ConsumeBool();
    return script;
}

std::string Chunked(const std::string& body, std::size_t chunkSize) {
    std::string chunks;
    char size[16];
    for (std::size_t at = 0; at < body.size(); at += chunkSize) {
        const std::string chunk = body.substr(at, chunkSize);
        std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
        chunks += size + chunk + "\r\n";
    }
    return chunks + "0\r\n\r\n";
}

std::string Reply(const Script& script) {
    const std::string status = "HTTP/1.1 200 OK\r\n";
    switch (script.framing) {
    case Framing::Length:
    case Framing::ShortLength:
        return status + "Content-Length: " + std::to_string(script.Framed().size()) + "\r\n\r\n" +
               script.Framed();
    case Framing::Chunks:
        return status + "Transfer-Encoding: chunked\r\n\r\n" +
               Chunked(script.body, script.chunkSize);
    default:
        return status + "Connection: close\r\n\r\n" + script.body;
    }
}

std::string WithLength(const std::string& status, const std::string& body,
                       const std::string& headers = "") {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" +
           headers + "\r\n" + body;
}

// Nothing can follow a body that the close ends: it would be body too. A
// late tail comes later.
std::string AfterBytes(const Script& script) {
    if (script.framing == Framing::Close || script.framing == Framing::ShortLength)
        return "";
    switch (script.after) {
    case After::StrayLineEnd:
        return "\r\n";
    case After::Junk:
        return script.extra;
    case After::Response:
        return WithLength("200 OK", script.extra);
    default:
        return "";
    }
}

// What the server received and sent, per request; the client waits on it.
class Ledger {
public:
    // The attempt this is (0 for the first), and the body about to be sent.
    int Received(int request) {
        std::lock_guard lock(mutex_);
        return received_[request]++;
    }
    void Answering(int request, const std::string& body) {
        std::lock_guard lock(mutex_);
        answers_[request].push_back(body);
    }
    void Done(int request) {
        std::lock_guard lock(mutex_);
        ++done_[request];
        changed_.notify_all();
    }
    // Until the server has received the request and done with every attempt.
    void WaitServed(int request) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, kServedWithin, [this, request] {
            return received_[request] > 0 && done_[request] == received_[request];
        });
    }
    bool Answered(int request, const std::string& body) {
        std::lock_guard lock(mutex_);
        for (const std::string& answer : answers_[request])
            if (answer == body)
                return true;
        return false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, int> received_;
    std::map<int, int> done_;
    std::map<int, std::vector<std::string>> answers_;
};

// Sends the reply in its pieces, then what follows it, pausing after each
// as the script says: a server slow on purpose; a tail left from the last
// reply goes first. False when the connection ends here.
bool Perform(ServerConnection& connection, const Script& script, std::string& lateTail) {
    connection.Send(std::exchange(lateTail, ""));
    const std::string reply = Reply(script);
    std::size_t at = 0;
    for (const std::size_t cut : script.cuts) {
        const std::size_t end = std::max(at, std::min<std::size_t>(cut, reply.size()));
        connection.Send(reply.substr(at, end - at));
        std::this_thread::sleep_for(std::chrono::milliseconds(script.pauseMs));
        at = end;
    }
    connection.Send(reply.substr(at));
    std::this_thread::sleep_for(std::chrono::milliseconds(script.pauseMs));
    connection.Send(AfterBytes(script));
    lateTail = script.body.substr(script.Framed().size());
    if (script.after == After::Reset)
        connection.Reset();
    else if (script.close)
        connection.Close();
    return !script.close;
}

// A first attempt dropped; false when the connection ends here.
bool Drop(ServerConnection& connection, FirstAttempt how, int request, Ledger& ledger) {
    if (how == FirstAttempt::Reset)
        connection.Reset();
    if (how == FirstAttempt::TimedOut) {
        const std::string body = "408:" + std::to_string(request);
        ledger.Answering(request, body);
        connection.Send(WithLength("408 Request Timeout", body, "Connection: close\r\n"));
    }
    connection.Close();
    return false;
}

bool Serve(ServerConnection& connection, const std::vector<Script>& scripts, Ledger& ledger,
           std::string& lateTail) {
    const std::optional<std::string> target = connection.NextRequest(kIdleWithin);
    const int request = target ? std::atoi(target->c_str() + 1) : -1;
    if (request < 0 || request >= static_cast<int>(scripts.size()))
        return false;
    const Script& script = scripts[request];
    const bool dropped = ledger.Received(request) == 0 && script.first != FirstAttempt::Answered;
    if (!dropped)
        ledger.Answering(request, script.Framed());
    const bool goOn = dropped ? Drop(connection, script.first, request, ledger)
                              : Perform(connection, script, lateTail);
    ledger.Done(request);
    return goOn;
}

[[noreturn]] void Mixed(int request, const std::string& page) {
    std::fprintf(stderr, "request %d got a page the server never sent for it: \"%s\"\n", request,
                 page.c_str());
    std::abort();
}

FetchLimits Limits() {
    FetchLimits limits;
    limits.connectTimeout = 1s;
    limits.stallTimeout = 1s;
    return limits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<Script> scripts;
    const int requests = input.ConsumeIntegralInRange(2, kMaxRequests);
    for (int request = 0; request < requests; ++request)
        scripts.push_back(ScriptFrom(input, request));
    Ledger ledger;
    LoopbackServer server([&scripts, &ledger](ServerConnection& connection) {
        std::string lateTail;
        while (Serve(connection, scripts, ledger, lateTail)) {
        }
    });
    const std::atomic<bool> noCancel = false;
    HttpClient client(Limits());
    for (int request = 0; request < requests; ++request) {
        const HttpResponse response =
            client.Get(server.Url("/" + std::to_string(request)), std::nullopt, 2s, noCancel);
        ledger.WaitServed(request);
        if (response.error.empty() && !ledger.Answered(request, response.body))
            Mixed(request, response.body);
    }
    return 0;
}
