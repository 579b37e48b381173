// Made-up visited pages for the results table's benchmarks: addresses and
// titles of a typical length, some in code page 932, one page in eight an
// HTTP error and one in sixteen a failure.
#pragma once

#include "crawl/page_visited.h"

#include <string>

inline torvesk::crawl::PageVisited TableRow(int n) {
    torvesk::crawl::PageVisited page;
    page.visit = static_cast<std::uint64_t>(n);
    page.finished = std::chrono::system_clock::now();
    page.url = "http://127.0.0.1:8080/p" + std::to_string(n) + "/section/index.html";
    page.key = "to/p" + std::to_string(n) + "/";
    page.title = "Page " + std::to_string(n) + " \x83\x5e\x83\x43\x83\x67\x83\x8b";
    page.status = n % 8 == 0 ? 404 : 200;
    if (n % 16 == 1) {
        page.status = 0;
        page.failure = "fetching " + page.url + " failed: could not connect";
    }
    page.bytesReceived = 1000 + static_cast<std::size_t>(n % 5000);
    page.linksHarvested = n % 200;
    page.record = page.visit;
    return page;
}
