// A crawl driven the way the window drives it: a CrawlRunner on the real
// 100 ms tick, until a given number of results lines have come.
#pragma once

#include "engine/fetch_limits.h"

#include <string>

struct CrawlFigures {
    double seconds = 0;
    int pages = 0; // results lines that came
};

// Crawls from start into the URL.csv at logPath until pages results lines
// have come, or a second for each has passed. Needs a QCoreApplication.
CrawlFigures CrawlThroughTheTick(const std::string& logPath,
                                 const torvesk::engine::FetchLimits& limits,
                                 const std::string& start, int pages);
