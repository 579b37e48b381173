// Ticks, starts and fetch completions, all on the GUI thread; only the
// transfer itself runs on a pool thread.
#include "shell/crawl_runner.h"

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

CrawlRunner::CrawlRunner(std::string logPath, QObject* parent)
    : QObject(parent), crawler_(std::move(logPath)) {
    timer_.setInterval(kCrawlPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CrawlRunner::Tick);
    connect(&fetch_, &QFutureWatcherBase::finished, this, &CrawlRunner::Fetched);
}

CrawlRunner::~CrawlRunner() {
    CancelFetch();
    fetch_.waitForFinished();
}

void CrawlRunner::StartTimer() {
    timer_.start();
}

void CrawlRunner::StartCrawl() {
    Begin(crawler_.StartCrawl());
}

void CrawlRunner::CancelFetch() {
    cancel_ = true;
}

void CrawlRunner::Tick() {
    Begin(crawler_.CrawlTick());
}

void CrawlRunner::Begin(const std::optional<Visit>& visit) {
    if (!visit || cancel_)
        return;
    fetch_.setFuture(QtConcurrent::run(
        [url = visit->url, &cancel = cancel_] { return FetchPage(url, FetchLimits{}, cancel); }));
}

// A cancelled fetch leaves its step unfinished: no line, no record.
void CrawlRunner::Fetched() {
    const FetchResult result = fetch_.result();
    if (result.cancelled)
        return;
    emit lineReady(crawler_.AnalyzePage(result.body));
    Begin(crawler_.TakeHeldStart());
}
