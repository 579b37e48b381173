// The crawl without a window (torvesk --crawl URL): the window's CrawlRunner
// under a QCoreApplication, with no display and no widget. Results lines go
// to standard output, progress to the terminal, and the exit status says how
// the crawl ended.
#pragma once

#include "cli/crawl_request.h"

#include <chrono>
#include <cstdint>

namespace torvesk::cli {

// A record not written, a results line refused, or no file to write
// records to at all.
constexpr int kRecordsLostExitCode = 1;
// No page came back: every fetch failed, as when the network is down.
constexpr int kNothingFetchedExitCode = 4;
// (141, when standard output's reader has gone, is kReaderGoneExitCode.)

// How long the end of a crawl waits for the records of its finished pages;
// those still unwritten then are given up and counted.
constexpr std::chrono::seconds kRecordsWait{30};

// Runs the crawl request asks for until the table runs empty, the pages
// asked for are visited, the output refuses records, standard output's
// reader goes away or a stop signal comes; returns the exit status.
int RunTerminalCrawl(int& argc, char** argv, const CrawlRequest& request);

} // namespace torvesk::cli
