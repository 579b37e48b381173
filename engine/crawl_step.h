// One crawl step from end to end (fetch, title, results line, URL.csv
// record, link harvest) and the scheduler that runs one per timer tick.
#pragma once

#include "win_types.h"

#include <cstdint>

// A small, long-lived page over plain http with double-quoted absolute links.
constexpr const char* kDefaultInitialUrl = "http://info.cern.ch/";
constexpr const char* kResultLogName = "URL.csv";
constexpr int kLastRow = 50; // the line after this row clears the screen
constexpr int kLineHeight = 8;
constexpr int kLineMargin = 10;

// "スタートページ" in code page 932: the KEY of a crawl started from the menu.
extern const char kStartPageKey[];

// Seeds the generator with seed and puts the default initial URL into
// currentUrl; CrawlInit seeds from the clock.
void CrawlInitSeeded(std::uint32_t seed);
void CrawlInit();
void StartCrawl(HWND window);
void CrawlTick(HWND window);
void AnalyzePage(HWND window, const char* url, const char* key);
// The part of a step after the fetch: title, results line, record, links.
void AnalyzeFetchedPage(HWND window, const char* url, const char* key);

// Back to the start-up state: idle, row 0, empty table (tests).
void ResetCrawlState();
