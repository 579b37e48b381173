// The crawl's own state: the URL being (or last) visited, which the start
// dialog edits, the step-done flag and the results-screen row.
#pragma once

constexpr int kUrlCapacity = 256; // 255 bytes of text and the terminator

struct CrawlState {
    char currentUrl[kUrlCapacity];
    int stepDone;
    int row;
};

extern CrawlState g_crawlState;
