// What the responsiveness measurement needs from the program: its main window
// made as at start-up, one page crawled as the user starts a crawl from the
// menu, and the moment that page's record is in URL.csv. Each shell has its
// own implementation; the measurement around it stays the same.
#pragma once

#include <functional>
#include <string>

struct DownloadHooks {
    std::function<void()> started;  // on the GUI thread, just before the crawl is started
    std::function<void()> recorded; // on the GUI thread, once the record is seen
};

// Crawls url from the current directory; false when the window did not come
// up or the record did not appear within timeoutMs of the start.
bool CrawlOnePage(const std::string& url, const DownloadHooks& hooks, int timeoutMs);
