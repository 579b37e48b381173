// Ticks, starts and fetch completions, all on the GUI thread; only the
// transfer itself runs on the runner's fetch thread.
#include "shell/crawl_runner.h"

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

CrawlRunner::CrawlRunner(std::string logPath, QObject* parent)
    : CrawlRunner(std::move(logPath), FetchLimits{}, parent) {}

CrawlRunner::CrawlRunner(std::string logPath, const FetchLimits& limits, QObject* parent)
    : QObject(parent), crawler_(std::move(logPath)), fetcher_(limits) {
    fetchThread_.setMaxThreadCount(1);
    fetchThread_.setExpiryTimeout(-1);
    timer_.setInterval(kCrawlPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CrawlRunner::Tick);
    connect(&fetch_, &QFutureWatcherBase::finished, this, &CrawlRunner::Fetched);
}

// The members then end in reverse order: the fetch thread is joined (the
// cancelled transfer lets go within one poll period) before the fetcher
// closes its connections.
CrawlRunner::~CrawlRunner() {
    CancelFetch();
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
        &fetchThread_, [this, url = visit->url] { return fetcher_.FetchPage(url, cancel_); }));
}

// A cancelled step is never finished: no line, no record, whether its fetch
// saw the cancel or had ended just before it.
void CrawlRunner::Fetched() {
    const FetchResult result = fetch_.result();
    if (result.cancelled || cancel_)
        return;
    emit lineReady(crawler_.AnalyzePage(result.body));
    Begin(crawler_.TakeHeldStart());
}
