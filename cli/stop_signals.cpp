// The stop signals through signalfd(2); the one handler, installed when the
// crawl is ending, calls only _exit, which is async-signal-safe.
#include "cli/stop_signals.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace torvesk::engine;

namespace torvesk::cli {

namespace {

sigset_t StopSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

void EndNow(int signalNumber) {
    _exit(128 + signalNumber);
}

} // namespace

StopSignals::StopSignals() {
    const sigset_t stops = StopSet();
    if (pthread_sigmask(SIG_BLOCK, &stops, nullptr) != 0)
        return; // not blocked, they end the program as always
    signals_ = Descriptor(::signalfd(-1, &stops, SFD_NONBLOCK | SFD_CLOEXEC));
    // Without a descriptor to read them from, they end the program as always.
    if (signals_.get() < 0 && pthread_sigmask(SIG_UNBLOCK, &stops, nullptr) != 0)
        std::perror("torvesk: SIGINT and SIGTERM stay blocked");
}

void StopSignals::listen() {
    if (signals_.get() < 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(signals_.get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignals::read);
}

void StopSignals::endAtOnce() {
    struct sigaction action {};
    action.sa_handler = EndNow;
    // Where the handler is missing, the signal's default ends the process
    // with the same status.
    for (const int number : {SIGINT, SIGTERM})
        if (sigaction(number, &action, nullptr) != 0)
            std::signal(number, SIG_DFL);
    // Only this thread takes them now, so the handler runs even while it
    // waits for the last records.
    const sigset_t stops = StopSet();
    if (pthread_sigmask(SIG_UNBLOCK, &stops, nullptr) != 0)
        std::perror("torvesk: a further SIGINT or SIGTERM will not end the crawl at once");
}

void StopSignals::read() {
    signalfd_siginfo info{};
    while (::read(signals_.get(), &info, sizeof info) == sizeof info)
        emit arrived(static_cast<int>(info.ssi_signo));
}

} // namespace torvesk::cli
