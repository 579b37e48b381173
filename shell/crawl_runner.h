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
    explicit CrawlRunner(std::string logPath, QObject* parent = nullptr);
    // The same, with fetches bounded by limits.
    CrawlRunner(std::string logPath, const FetchLimits& limits, QObject* parent = nullptr);
    // Cancels a fetch in flight; its thread lets go within one poll period,
    // without waiting for a name lookup or any reply.
    ~CrawlRunner() override;

    Crawler& crawler() { return crawler_; }

    // Starts the tick; from then on every tick may take a step.
    void StartTimer();
    // The menu's start command; held while a step is in flight.
    void StartCrawl();
    // Ends a fetch in flight at once and begins no other step: for quitting.
    // The step in flight is never finished, even if its page has just come.
    void CancelFetch();

signals:
    // A step has finished; the screen should show line.
    void lineReady(const ResultsLine& line);

private:
    void Tick();
    void Begin(const std::optional<Visit>& visit);
    void Fetched();

    Crawler crawler_;
    QTimer timer_;
    std::atomic<bool> cancel_{false};
    // Keeps connections open from one step to the next; used only by tasks
    // of fetchThread_, one at a time.
    PageFetcher fetcher_;
    // One thread, kept for the runner's life; it ends before fetcher_ does.
    QThreadPool fetchThread_;
    QFutureWatcher<FetchResult> fetch_;
};
