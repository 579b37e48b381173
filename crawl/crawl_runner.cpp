// Ticks, starts, pauses, stops and fetch completions, all on the GUI thread;
// only the transfer itself runs on the runner's fetch thread, which hands its
// result back through the GUI thread's event queue.
#include "crawl/crawl_runner.h"

#include <utility>

using namespace torvesk::engine;

namespace torvesk::crawl {

CrawlRunner::CrawlRunner(RecordTarget records, std::uint32_t seed, const FetchLimits& limits,
                         const ErrorReporter& report)
    : crawler_(std::move(records), report), fetcher_(limits, report) {
    crawler_.CrawlInit(seed);
    fetchThread_.setMaxThreadCount(1);
    fetchThread_.setExpiryTimeout(-1);
    timer_.setInterval(kCrawlPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CrawlRunner::tick);
    forwardSettledRecords();
}

// A completion still queued for this runner is dropped with it.
CrawlRunner::~CrawlRunner() {
    crawler_.OnRecordSettled({});
    cancelFetch();
    fetchThread_.waitForDone();
}

void CrawlRunner::setInterval(int periodMs) {
    timer_.setInterval(periodMs);
    // A zero period is rearmed whenever a step ends, instead of spinning.
    timer_.setSingleShot(periodMs == 0);
}

void CrawlRunner::startTicking() {
    ticking_ = true;
    timer_.start();
}

CrawlState CrawlRunner::state() const {
    if (crawler_.idle())
        return CrawlState::Idle;
    return paused_ ? CrawlState::Paused : CrawlState::Crawling;
}

CrawlProgress CrawlRunner::progress() {
    CrawlProgress now = tally_;
    now.state = state();
    if (const std::optional<Visit>& visit = crawler_.visiting())
        now.fetching = visit->url;
    now.linksWaiting = crawler_.linkTable().count();
    now.pagesPerSecond = rate_.PerSecond(PageRate::Clock::now());
    now.records = crawler_.recordCounts();
    return now;
}

void CrawlRunner::startCrawl() {
    if (crawler_.idle())
        rate_.Restart(PageRate::Clock::now());
    paused_ = false;
    begin(crawler_.StartCrawl());
    noteState();
}

void CrawlRunner::pause() {
    paused_ = !crawler_.idle();
    noteState();
}

void CrawlRunner::resume() {
    paused_ = false;
    rearmZeroPeriod();
    noteState();
}

void CrawlRunner::stop() {
    cancelInFlight();
    crawler_.StopCrawl();
    paused_ = false;
    noteState();
}

void CrawlRunner::cancelFetch() {
    quitting_ = true;
    cancelInFlight();
}

void CrawlRunner::tick() {
    if (paused_)
        return;
    begin(crawler_.CrawlTick());
    noteState();
}

void CrawlRunner::begin(const std::optional<Visit>& visit) {
    if (!visit || quitting_)
        return;
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    fetchThread_.start([this, cancel = cancel_, url = visit->url] {
        FetchResult result = fetcher_.FetchPage(url, *cancel);
        QMetaObject::invokeMethod(
            this, [this, cancel, fetched = std::move(result)] { finish(*cancel, fetched); },
            Qt::QueuedConnection);
    });
}

// A step whose fetch was cancelled is never finished: no line, no record,
// whether its fetch saw the cancel or had ended just before it.
void CrawlRunner::finish(bool cancelled, const FetchResult& result) {
    if (cancelled)
        return;
    tallyPage(result);
    const Visit visit = crawler_.visiting().value();
    emit lineReady(crawler_.AnalyzePage(result.body));
    emit pageVisited(visited(result, visit.url, visit.key));
    begin(crawler_.TakeHeldStart());
    rearmZeroPeriod();
    noteState();
}

void CrawlRunner::cancelInFlight() {
    if (cancel_)
        *cancel_ = true;
}

void CrawlRunner::rearmZeroPeriod() {
    if (ticking_ && timer_.isSingleShot() && !paused_)
        timer_.start();
}

void CrawlRunner::noteState() {
    const CrawlState now = state();
    if (now == shownState_)
        return;
    shownState_ = now;
    emit stateChanged(now);
}

void CrawlRunner::tallyPage(const FetchResult& result) {
    ++tally_.pagesVisited;
    if (!result.failure.empty())
        ++tally_.fetchesFailed;
    if (result.status >= kFirstHttpError)
        ++tally_.httpErrors;
    tally_.lastFailure = result.failure;
    rate_.Add(PageRate::Clock::now());
}

PageVisited CrawlRunner::visited(const FetchResult& result, const std::string& url,
                                 const std::string& key) const {
    const PageFindings& found = crawler_.lastFindings();
    return PageVisited{tally_.pagesVisited,
                       std::chrono::system_clock::now(),
                       url,
                       key,
                       found.title,
                       result.status,
                       result.redirections,
                       result.failure,
                       result.bytesReceived,
                       found.linksHarvested,
                       found.record};
}

// The log's thread hands each settled record to the GUI thread's queue; the
// destructor ends the hook before anything of the runner goes.
void CrawlRunner::forwardSettledRecords() {
    crawler_.OnRecordSettled([this](const RecordSettled& record) {
        QMetaObject::invokeMethod(
            this, [this, record] { emit recordSettled(record); }, Qt::QueuedConnection);
    });
}

} // namespace torvesk::crawl
