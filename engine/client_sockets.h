// The sockets of one HttpClient, opened and closed through it, and what the
// kernel knows about them: whether anything has arrived on a kept one since
// its response ended, and when data last arrived on the ones the transfer
// in flight uses.
#pragma once

#include <chrono>
#include <string>
#include <vector>

class ClientSockets {
public:
    using Clock = std::chrono::steady_clock;

    ClientSockets();
    ~ClientSockets();
    ClientSockets(const ClientSockets&) = delete;
    ClientSockets& operator=(const ClientSockets&) = delete;

    // Why the sockets cannot be managed, in words; empty when they can.
    const std::string& failure() const { return failure_; }

    // A new socket (-1 when none could be made), which the transfer in
    // flight takes as its own.
    int Open(int family, int type, int protocol);
    int Close(int socket);

    // Between transfers every kept socket is idle, so one on which a byte,
    // a close or an error has arrived was spoken on after its response:
    // those bytes belong to no request. Each such socket is made to read
    // end-of-file for good (its connection is released), so the library
    // that holds it finds it dead and closes it instead of reusing it. The
    // descriptor number stays the library's until then.
    void SilenceSpoken();

    // The transfer in flight: from Begin on, sockets opened are its own;
    // UsingConnection names the socket it took (a kept one, or one of those it
    // opened), by its two ends.
    void BeginTransfer(Clock::time_point start);
    void UsingConnection(int localPort, const std::string& peerAddress, int peerPort);

    // Whether the transfer's connection is up, and how long its sockets
    // have received nothing (counted from the transfer's start).
    bool Connected() const;
    std::chrono::milliseconds QuietFor(Clock::time_point now) const;

private:
    std::vector<int> sockets_;
    std::vector<int> own_; // the transfer's, a subset of sockets_
    Clock::time_point start_;
    int deadEnd_ = -1; // reads end-of-file for good: its peer is closed
    std::string failure_;
};
