// URL.csv as a crawl left it: read once the Crawler's log has written every
// record of the steps finished so far.
#pragma once

#include "engine/crawler.h"
#include "support/csv_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

constexpr std::chrono::seconds kLogWait{10};

inline std::string WrittenLog(torvesk::engine::Crawler& crawler, const std::string& path) {
    EXPECT_TRUE(crawler.FlushLog(kLogWait)) << "records still unwritten after 10 s";
    return ReadWholeFile(path);
}
