// Whether records stay true against keep-alive servers that misbehave: the
// page fetcher gets /p0 to /pN-1 from each hostile site in turn, back to back
// (as a crawl with no interval does) and one every 100 ms (the window's
// tick), and counts the records that hold another page's title (wrong) and
// the pages that failed (lost), with the connections the site saw; a
// well-behaved site first, whose one connection should serve every page.
// Usage: hostile_keep_alive [pages] (30 by default).
#include "bench/hostile_site.h"
#include "engine/page_fetcher.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

using namespace torvesk::engine;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultPages = 30;
constexpr auto kTick = 100ms;

constexpr Hostility kHostilities[] = {
    Hostility::None,
    Hostility::StrayResponse,
    Hostility::Http10KeepAlive,
    Hostility::NoContentLateBytes,
    Hostility::ResetOnReuse,
    Hostility::CloseAfterResponse,
    Hostility::ShortLength,
};

std::string TitleIn(const std::string& body) {
    const std::size_t start = body.find("<title>");
    const std::size_t end = body.find("</title>");
    if (start == std::string::npos || end == std::string::npos || end < start)
        return "";
    return body.substr(start + 7, end - start - 7);
}

struct Tally {
    int wrong = 0;
    int lost = 0;
    int connections = 0;
};

Tally Fetch(Hostility hostility, int pages, std::chrono::milliseconds interval) {
    const HostileSite site(hostility);
    PageFetcher fetcher;
    const std::atomic<bool> cancel = false;
    Tally tally;
    auto next = Clock::now();
    for (int page = 0; page < pages; ++page) {
        std::this_thread::sleep_until(next);
        next = Clock::now() + interval;
        const FetchResult result = fetcher.FetchPage(site.Url(page), cancel);
        if (!result.failure.empty())
            ++tally.lost;
        else if (TitleIn(result.body) != site.TitleOf(page))
            ++tally.wrong;
    }
    tally.connections = site.Connections();
    return tally;
}

} // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultPages;
    // Only the loopback sites are fetched; the fetcher's own failure lines
    // on standard error are the lost pages' causes.
    setenv("no_proxy", "*", 1);
    bool allTrue = true;
    for (const Hostility hostility : kHostilities)
        for (const auto interval : {0ms, std::chrono::milliseconds(kTick)}) {
            const Tally tally = Fetch(hostility, pages, interval);
            std::printf("%-48s interval %3lld ms: %2d wrong, %2d lost of %d (%d connections)\n",
                        NameOf(hostility), static_cast<long long>(interval.count()), tally.wrong,
                        tally.lost, pages, tally.connections);
            allTrue = allTrue && tally.wrong == 0 && tally.lost == 0 &&
                      (hostility != Hostility::None || tally.connections == 1);
        }
    return allTrue ? 0 : 1;
}
