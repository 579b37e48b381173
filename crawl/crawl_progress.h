// What a crawl has done so far, as the window's status bar and the
// terminal's progress line show it, and the rate of pages over the last ten
// seconds. Plain C++: the crawl without a window shows it too.
#pragma once

#include "engine/result_log.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

namespace torvesk::crawl {

enum class CrawlState { Idle, Crawling, Paused };

// The first status that answers with an error rather than a page.
constexpr long kFirstHttpError = 400;

// The span the page rate is measured over.
constexpr std::chrono::seconds kRateWindow{10};

// Pages a second over the last kRateWindow, or since the crawl began when
// that is more recent.
class PageRate {
public:
    using Clock = std::chrono::steady_clock;

    // Counting begins anew at since.
    void Restart(Clock::time_point since);
    void Add(Clock::time_point finished);
    double PerSecond(Clock::time_point now);

private:
    void Forget(Clock::time_point now);

    std::deque<Clock::time_point> finished_; // within the window, oldest first
    Clock::time_point since_;
};

struct CrawlProgress {
    CrawlState state = CrawlState::Idle;
    std::string fetching; // the address in flight, as typed or found; empty when none
    std::uint64_t pagesVisited = 0;
    std::uint64_t fetchesFailed = 0;
    std::uint64_t httpErrors = 0; // pages answered with a status of kFirstHttpError or more
    int linksWaiting = 0;
    double pagesPerSecond = 0;
    engine::RecordCounts records;
    // The failure line of the last page that arrived, until one arrives well.
    std::string lastFailure;
};

} // namespace torvesk::crawl
