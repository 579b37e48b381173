// SIGINT and SIGTERM for a crawl without a window: taken as events on the
// GUI thread, read from a signalfd, so that nothing but the kernel runs at
// the moment a signal arrives; and, once the crawl is ending, a further one
// that ends the process at once.
#pragma once

#include "engine/descriptor.h"

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace torvesk::cli {

class StopSignals : public QObject {
    Q_OBJECT

public:
    // Blocks SIGINT and SIGTERM in this thread and in every thread started
    // from now on, which is why it comes before any other thread starts.
    // In those other threads they stay blocked for the process's life.
    StopSignals();

    // From now on each signal comes as arrived(); needs the application.
    void listen();
    // From now on SIGINT or SIGTERM ends the process at once, with 128 and
    // the signal's number as its exit status.
    void endAtOnce();

signals:
    void arrived(int signalNumber);

private:
    void read();

    engine::Descriptor signals_; // the signalfd
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace torvesk::cli
