// The sockets of one HttpClient, opened and closed through it, and what the
// kernel knows about them: whether anything has arrived on a kept one since
// its response ended, and when data last arrived on the ones the transfer
// in flight uses.
#pragma once

#include "engine/descriptor.h"
#include "engine/distrusted_peers.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvesk::engine {

// How long after a response a kept connection on probation may carry the
// next request: bytes a server sends later than this after its response can
// be taken for the next request's answer.
constexpr std::chrono::milliseconds kSettleTime{10};
// A connection is on probation for its first responses: a server whose
// answers lag behind its requests shows it on the first of them, and a
// connection past them carries the next request at once, as a browser's
// does, so that a crawl with no interval goes at the machine's pace.
constexpr int kProbationResponses = 3;

class ClientSockets {
public:
    using Clock = std::chrono::steady_clock;

    ClientSockets();
    ClientSockets(const ClientSockets&) = delete;
    ClientSockets& operator=(const ClientSockets&) = delete;

    // Why the sockets cannot be managed, in words; empty when they can.
    const std::string& failure() const { return failure_; }

    // A new socket (-1 when none could be made), which the transfer in
    // flight takes as its own.
    int Open(int family, int type, int protocol);
    int Close(int socket);

    // Between transfers every kept socket is idle, so bytes that arrived on
    // one belong to no request: its server is distrusted for good. A close
    // alone is no misdeed, nor a 408 that comes with it, nor over TLS bytes
    // that come with it (the close alert). Each kept socket that was spoken on, or whose
    // server is distrusted, is made to read end-of-file for good (its
    // connection is released), so the library that holds it finds it dead
    // and closes it instead of reusing it; the descriptor number stays the
    // library's until then. False when a socket could not be silenced: the
    // next request must then not reuse any.
    bool SilenceUntrusted();
    // While a kept socket to origin (one the next request may reuse) is on
    // probation, waits until its last response ended kSettleTime ago, or
    // until bytes arrive on it before that: an answer that lags one request
    // behind its request shows itself so before the next request goes out.
    // Kept sockets to other origins are no reason to wait. An empty origin
    // is every origin.
    void AwaitSettled(const std::string& origin);
    // The transfer's connection, to origin, served one more response.
    void TransferEnded(const std::string& origin);
    // The server at address and port answered a reused connection with
    // something other than HTTP.
    void Distrust(const std::string& address, int port) { distrusted_.Distrust(address, port); }

    // The transfer in flight: from Begin on, sockets opened are its own, over
    // TLS when secure; UsingConnection names the socket it took (a kept one,
    // or one of those it opened), by its two ends.
    void BeginTransfer(Clock::time_point start, bool secure);
    void UsingConnection(int localPort, const std::string& peerAddress, int peerPort);

    // How many bytes the transfer's connection received since it took it,
    // until now or until it was closed; nothing when unknown.
    std::optional<std::uint64_t> ReceivedInTransfer() const;

    // Whether the transfer's connection is up, and how long its sockets
    // have received nothing (counted from the transfer's start).
    bool Connected() const;
    std::chrono::milliseconds QuietFor(Clock::time_point now) const;

private:
    // What one of sockets_ has carried.
    struct Carried {
        int responses = 0;
        Clock::time_point lastEnd; // of its last response
        std::string origin;        // of its requests; empty until it served one
    };

    bool Silence(int socket);

    std::vector<int> sockets_;
    std::vector<int> own_;         // the transfer's, a subset of sockets_
    std::vector<int> secure_;      // those that carry TLS, a subset of sockets_
    std::vector<int> silenced_;    // those that read end-of-file, a subset of sockets_
    std::vector<Carried> carried_; // by each of sockets_, in its order
    Clock::time_point start_;
    int used_ = -1; // the socket UsingConnection named
    std::optional<std::uint64_t> receivedBefore_, receivedAtClose_; // on used_
    bool secureTransfer_ = false;
    DistrustedPeers distrusted_;
    Descriptor deadEnd_; // reads end-of-file for good: its peer is closed
    std::string failure_;
};

} // namespace torvesk::engine
