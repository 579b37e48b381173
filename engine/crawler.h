// The Crawler: what a crawl keeps between steps (page buffer, link table
// with its generator, current URL, step-done flag, screen row) and one
// crawl step in two halves: choosing the page to visit, and analysing the
// body once it has been fetched. The fetch itself happens in between,
// wherever the caller runs it; a step started is always finished before the
// next one begins.
#pragma once

#include "engine/link_table.h"
#include "engine/page_scanner.h"
#include "engine/result_log.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace torvesk::engine {

// A small, long-lived page over plain http with double-quoted absolute links.
constexpr const char* kDefaultInitialUrl = "http://info.cern.ch/";
constexpr int kUrlCapacity = 256; // 255 bytes of text and the terminator
constexpr int kLastRow = 50;      // the line after this row clears the screen

// "スタートページ" in code page 932: the KEY of a crawl started from the menu.
extern const char kStartPageKey[];

// A page to fetch, and the link text it was found under.
struct Visit {
    std::string url;
    std::string key;
};

// What the screen shows for a finished step: "count: URL:... TITLE:... KEY:..."
// on row (0 to kLastRow); the screen is cleared first when clearsScreen.
struct ResultsLine {
    int row;
    bool clearsScreen;
    std::string text;
};

// What the last analysed page gave besides its line: its TITLE as the
// screen shows it, the links harvested from it, and its record's ordinal in
// the log (0 when it made none).
struct PageFindings {
    std::string title;
    int linksHarvested = 0;
    std::uint64_t record = 0;
};

class Crawler {
public:
    // Records of visited pages are appended to records, on the log's own
    // thread; a record not written is reported to report.
    explicit Crawler(RecordTarget records, ErrorReporter report = ReportOnStandardError);

    // CrawlInit, StartCrawl, CrawlTick, AnalyzePage: the engine's own names, kept.
    // Seeds the generator and puts the default initial URL into currentUrl.
    void CrawlInit(std::uint32_t seed);

    const char* currentUrl() const { return currentUrl_; }
    // Stores at most 255 bytes of url, verbatim.
    void SetCurrentUrl(const std::string& url);

    // The menu's start command: a visit of currentUrl, or nothing while a
    // step is in flight; that start is then held until the step ends.
    std::optional<Visit> StartCrawl();
    // A timer tick: the next visit when a step is due, else nothing. Ticks
    // during a step in flight draw no random numbers.
    std::optional<Visit> CrawlTick();
    // The second half of the step in flight, with its fetched body: title,
    // results line, URL.csv record, link harvest; the step is done
    // afterwards. Only while a step is in flight. The record is handed to
    // the log, which writes it soon after.
    ResultsLine AnalyzePage(std::string_view body);
    // Waits, at most bound, until the records of finished steps are written
    // or reported; returns whether they are. The crawl without a window
    // waits with it before it exits; tests wait with it, too.
    bool FlushLog(std::chrono::milliseconds bound) { return log_.Flush(bound); }
    // The start held during the last step, to be begun now, or nothing.
    std::optional<Visit> TakeHeldStart();
    // Abandons the step in flight (it is never analysed) and a held start,
    // and empties the link table: the crawl is idle until the next start.
    // currentUrl keeps the page it was on; the generator is not drawn.
    void StopCrawl();
    // Records handed to the log so far: written, and reported as not written.
    RecordCounts recordCounts() const { return log_.Counts(); }
    // See ResultLog::OnSettled.
    void OnRecordSettled(RecordSettledHook hook) { log_.OnSettled(std::move(hook)); }
    const PageFindings& lastFindings() const { return findings_; }

    bool stepInFlight() const { return visiting_.has_value(); }
    // What the step in flight visits, or nothing.
    const std::optional<Visit>& visiting() const { return visiting_; }
    // Neither a step in flight nor one due: before the first start, after a
    // tick found the table empty, after a stop.
    bool idle() const { return !stepInFlight() && !stepDone_; }
    // stepDone and row: kept for tests; the program reads neither.
    bool stepDone() const { return stepDone_; }
    int row() const { return row_; }
    const LinkTable& linkTable() const { return *linkTable_; }

private:
    Visit BeginStep(const char* url, const char* key);
    void PushHarvestedLinks();

    ResultLog log_;
    PageBuffer page_;
    std::unique_ptr<LinkTable> linkTable_;
    std::unique_ptr<HarvestedLinks> harvest_; // reused every step
    char currentUrl_[kUrlCapacity] = {};
    std::optional<Visit> visiting_; // the step in flight
    PageFindings findings_;
    bool stepDone_ = false;
    bool startHeld_ = false;
    int row_ = 0;
};

} // namespace torvesk::engine
