// Ticks, starts and fetch completions, all on the GUI thread; only the
// transfer itself runs on the runner's fetch thread.
#include "shell/crawl_runner.h"

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

CrawlRunner::CrawlRunner(std::string logPath) : CrawlRunner(std::move(logPath), FetchLimits{}) {}

CrawlRunner::CrawlRunner(std::string logPath, const FetchLimits& limits)
    : crawler_(std::move(logPath)), fetcher_(limits) {
    fetchThread_.setMaxThreadCount(1);
    fetchThread_.setExpiryTimeout(-1);
    timer_.setInterval(kCrawlPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CrawlRunner::tick);
    connect(&fetch_, &QFutureWatcherBase::finished, this, &CrawlRunner::fetched);
}

// The fetch thread uses fetcher_ and cancel_: it must end before they do,
// whatever order the members are declared in.
CrawlRunner::~CrawlRunner() {
    cancelFetch();
    fetchThread_.waitForDone();
}

void CrawlRunner::startTicking() {
    timer_.start();
}

void CrawlRunner::startCrawl() {
    beginFetch(crawler_.StartCrawl());
}

void CrawlRunner::cancelFetch() {
    cancel_ = true;
}

void CrawlRunner::tick() {
    beginFetch(crawler_.CrawlTick());
}

void CrawlRunner::beginFetch(const std::optional<Visit>& visit) {
    if (!visit || cancel_)
        return;
    fetch_.setFuture(QtConcurrent::run(
        &fetchThread_, [this, url = visit->url] { return fetcher_.FetchPage(url, cancel_); }));
}

// A cancelled step is never finished: no line, no record, whether its fetch
// saw the cancel or had ended just before it.
void CrawlRunner::fetched() {
    const FetchResult result = fetch_.result();
    if (result.cancelled || cancel_)
        return;
    emit lineReady(crawler_.AnalyzePage(result.body));
    beginFetch(crawler_.TakeHeldStart());
}
