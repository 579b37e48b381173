// The crawl as the window runs it: the Crawler, the 100 ms tick, and the
// fetch of each step on a worker thread of its own, its body handed back to
// the GUI thread. One step at a time; the window never waits on the network.
#pragma once

#include "engine/crawler.h"
#include "engine/page_fetcher.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <optional>
#include <string>

constexpr int kCrawlPeriodMs = 100;

class CrawlRunner : public QObject {
    Q_OBJECT

public:
    // The crawl's records go to the file at logPath.
    explicit CrawlRunner(std::string logPath);
    // The same, with fetches bounded by limits.
    CrawlRunner(std::string logPath, const FetchLimits& limits);
    // Cancels a fetch in flight and waits for the fetch thread, which lets
    // go within one poll period, without waiting for a name lookup or any reply.
    ~CrawlRunner() override;

    Crawler& crawler() { return crawler_; }
    // Kept for tests, which count its ticks.
    const QTimer& tickTimer() const { return timer_; }

    // Starts the tick; from then on every tick may take a step.
    void startTicking();
    // The menu's start command; held while a step is in flight.
    void startCrawl();
    // Ends a fetch in flight at once and begins no other step: for quitting.
    // The step in flight is never finished, even if its page has just come.
    void cancelFetch();

signals:
    // A step has finished; the screen should show line.
    void lineReady(const ResultsLine& line);

private:
    void tick();
    void beginFetch(const std::optional<Visit>& visit);
    void fetched();

    Crawler crawler_;
    QTimer timer_;
    std::atomic<bool> cancel_{false};
    // Keeps connections open from one step to the next; used only by tasks
    // of fetchThread_, one at a time.
    PageFetcher fetcher_;
    // One thread, kept for the runner's life; the destructor waits for it.
    QThreadPool fetchThread_;
    QFutureWatcher<FetchResult> fetch_;
};
