// What one finished step did, as the window's results table lists it: the
// page's address and link text, its title bytes, the final answer's HTTP
// status or the failure, and the record's ordinal, whose fate the log tells
// later (CrawlRunner::recordSettled). Plain C++ on the engine's types.
#pragma once

#include "crawl/crawl_progress.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace torvesk::crawl {

struct PageVisited {
    std::uint64_t visit = 0; // 1 for the crawl's first page
    std::chrono::system_clock::time_point finished;
    std::string url; // as visited, bytes as found
    std::string key;
    std::string title; // the TITLE bytes, as the screen shows them
    long status = 0;   // the final answer's HTTP status; 0 when none came
    long redirections = 0;
    std::string failure; // the error line's words; empty when an answer came
    std::size_t bytesReceived = 0;
    int linksHarvested = 0;
    std::uint64_t record = 0; // the record's ordinal in the log; 0 when none was made
};

// Answered with an HTTP error, or not answered at all.
inline bool IsFailure(const PageVisited& page) {
    return page.status >= kFirstHttpError || page.status == 0;
}

} // namespace torvesk::crawl
