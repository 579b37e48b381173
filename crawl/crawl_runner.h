// The crawl as the window runs it: the Crawler, the tick, and the fetch of
// each step on a worker thread of its own, its body handed back to the GUI
// thread. One step at a time; the window never waits on the network. A
// crawl can be paused (ticks do nothing and draw nothing) and stopped (the
// page in flight is abandoned and the table emptied); what it has done so
// far is there to show.
#pragma once

#include "crawl/crawl_progress.h"
#include "crawl/page_visited.h"
#include "engine/crawler.h"
#include "engine/page_fetcher.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace torvesk::crawl {

constexpr int kCrawlPeriodMs = 100;
// Records go to this file in the directory Torvesk was started from.
constexpr char kResultLogName[] = "URL.csv";

class CrawlRunner : public QObject {
    Q_OBJECT

public:
    // The crawl's records go to records; its generator is seeded with seed
    // and its current URL is the default initial URL (CrawlInit); fetches
    // are bounded by limits. Failed fetches and records not written are
    // reported to report, from the fetch thread and the log thread.
    CrawlRunner(engine::RecordTarget records, std::uint32_t seed,
                const engine::FetchLimits& limits = {},
                const engine::ErrorReporter& report = engine::ReportOnStandardError);
    // Cancels a fetch in flight; its thread lets go within one poll period,
    // without waiting for a name lookup or any reply.
    ~CrawlRunner() override;

    // Kept for tests, which count its ticks.
    const QTimer& tickTimer() const { return timer_; }

    // The URL the next start visits: the one set, else the page visited last.
    const char* currentUrl() const { return crawler_.currentUrl(); }
    // Stores at most 255 bytes of url, verbatim, as the start dialog does.
    void setStartUrl(const std::string& url) { crawler_.SetCurrentUrl(url); }
    // Waits, at most bound, until the records of finished steps are written
    // or reported; returns whether they are.
    bool flushRecords(std::chrono::milliseconds bound) { return crawler_.FlushLog(bound); }
    engine::RecordCounts recordCounts() const { return crawler_.recordCounts(); }
    bool stepInFlight() const { return crawler_.stepInFlight(); }

    // The tick's period; 0 takes the next step as soon as one has ended.
    // The same steps follow, with the same draws, whatever the period.
    void setInterval(int periodMs);
    // Starts the tick; from then on every tick may take a step.
    void startTicking();

    CrawlState state() const;
    CrawlProgress progress();

    // The menu's start command: held while a step is in flight; it also
    // ends a pause.
    void startCrawl();
    // Ticks do nothing until resume(); a step in flight finishes.
    void pause();
    void resume();
    // Abandons the step in flight (no line, no record) and empties the
    // table; the crawl is idle until the next start.
    void stop();
    // Ends a fetch in flight at once and begins no other step: for quitting.
    // The step in flight is never finished, even if its page has just come.
    void cancelFetch();

signals:
    // A step has finished; the screen should show line.
    void lineReady(const engine::ResultsLine& line);
    // The same step, for a list of the pages visited; emitted after lineReady.
    void pageVisited(const PageVisited& page);
    // The log has written a page's record, or given up on it (see
    // PageVisited::record); records are settled in order.
    void recordSettled(const engine::RecordSettled& record);
    // The crawl became idle, began, was paused or resumed.
    void stateChanged(CrawlState state);

private:
    void tick();
    void begin(const std::optional<engine::Visit>& visit);
    void finish(bool cancelled, const engine::FetchResult& result);
    void cancelInFlight();
    void rearmZeroPeriod();
    void noteState();
    void tallyPage(const engine::FetchResult& result);
    PageVisited visited(const engine::FetchResult& result, const std::string& url,
                        const std::string& key) const;
    void forwardSettledRecords();

    engine::Crawler crawler_;
    QTimer timer_;
    bool ticking_ = false; // startTicking() was called
    bool paused_ = false;
    bool quitting_ = false;
    CrawlState shownState_ = CrawlState::Idle;
    CrawlProgress tally_; // the counts kept step by step
    PageRate rate_;
    // The cancel flag of the fetch in flight; each fetch has its own, so one
    // abandoned by stop() never cancels the next.
    std::shared_ptr<std::atomic<bool>> cancel_;
    // Keeps connections open from one step to the next; used only by tasks
    // of fetchThread_, one at a time.
    engine::PageFetcher fetcher_;
    QThreadPool fetchThread_; // one thread, kept for the runner's life
};

} // namespace torvesk::crawl
