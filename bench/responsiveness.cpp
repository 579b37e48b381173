// How late the GUI thread serves events while one slow page downloads: a page
// on 127.0.0.1 that takes N seconds (argument, else TORVESK_DRIP_SECONDS,
// else 20) is crawled through the program's window, and the lateness of
// every 10 ms slot from the start of the crawl until the page's record is in
// URL.csv is reported.
#include "bench/download_driver.h"
#include "bench/drip_server.h"
#include "bench/slot_lateness.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kDefaultSeconds = 20;
constexpr int kSlackSeconds = 60; // beyond the drip, before the run counts as failed

int DripSeconds(int argc, char** argv) {
    const char* text = argc > 1 ? argv[1] : std::getenv("TORVESK_DRIP_SECONDS");
    const int seconds = text ? std::atoi(text) : kDefaultSeconds;
    return seconds > 0 ? seconds : kDefaultSeconds;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = DripSeconds(argc, argv);
    // Only the loopback page is fetched; a proxy from the environment would
    // add its own timing, or send the request off the machine.
    setenv("no_proxy", "*", 1);
    setenv("NO_PROXY", "*", 1);
    QApplication application(argc, argv);
    DripServer drip(seconds);
    if (!drip.Started()) {
        std::fprintf(stderr, "responsiveness: the drip server did not start\n");
        return 1;
    }

    SlotLatenessRecorder recorder;
    SteadyClock::time_point started, recorded;
    DownloadHooks hooks{[&] {
                            recorder.Start();
                            started = SteadyClock::now();
                        },
                        [&] {
                            recorded = SteadyClock::now();
                            recorder.Stop();
                        }};
    if (!CrawlOnePage(drip.PageUrl(), hooks, (seconds + kSlackSeconds) * 1000)) {
        std::fprintf(stderr, "responsiveness: no record of %s in URL.csv\n",
                     drip.PageUrl().c_str());
        return 1;
    }

    const LatenessFigures figures = recorder.Figures();
    const double download = std::chrono::duration<double>(recorded - started).count();
    std::printf("responsiveness: drip %d s, download %.2f s, %zu slots of 10 ms, "
                "GUI lateness p50 %.1f ms, p99 %.1f ms, max %.1f ms\n",
                seconds, download, figures.slotCount, figures.p50Ms, figures.p99Ms, figures.maxMs);
    return 0;
}
