// The crawl as the window runs it: the Crawler, the 100 ms tick, and the
// fetch of each step on a worker thread, its body handed back to the GUI
// thread. One step at a time; the window never waits on the network.
#pragma once

#include "engine/crawler.h"
#include "engine/page_fetcher.h"

#include <QFutureWatcher>
#include <QObject>
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
    // Cancels a fetch in flight and waits for its thread to let go.
    ~CrawlRunner() override;

    Crawler& crawler() { return crawler_; }

    // Starts the tick; from then on every tick may take a step.
    void StartTimer();
    // The menu's start command; held while a step is in flight.
    void StartCrawl();
    // Ends a fetch in flight at once and begins no other step: for quitting.
    // The cancelled step is never finished.
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
    QFutureWatcher<FetchResult> fetch_;
    std::atomic<bool> cancel_{false};
};
