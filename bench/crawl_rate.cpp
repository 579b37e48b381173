// The crawl rate through the program's own 100 ms tick against a loopback
// site where each new connection costs 150 ms before its first response and
// requests on an open connection are answered at once: pages a second, and
// connections opened per request. Over https, each new connection is a TLS
// handshake; the pages' http links are redirected there.
// Usage: crawl_rate [pages] (100 by default), http first, then https.
#include "bench/latency_site.h"
#include "bench/tick_crawl.h"
#include "support/csv_reader.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace torvesk::engine;

namespace {

constexpr int kDefaultPages = 100;
constexpr int kSitePages = 50;
constexpr auto kConnectionCost = std::chrono::milliseconds(150);

void PrintCounts(const char* what, const CostlyServer& server) {
    std::printf("  %d %s for %d requests: %.3f per request\n", server.Connections(), what,
                server.Requests(), double(server.Connections()) / server.Requests());
}

bool Report(bool tls, int pages) {
    LatencySite site(tls, kSitePages, kConnectionCost);
    FetchLimits limits;
    if (tls)
        limits.trustedCertificates = ReadWholeFile(TORVESK_LOOPBACK_CERTIFICATE);
    if (!site.Started())
        return false;
    QTemporaryDir dir;
    const CrawlFigures figures =
        CrawlThroughTheTick(dir.filePath("URL.csv").toStdString(), limits, site.Url("/p0/"), pages);
    std::printf("crawl_rate: %s, %d pages in %.2f s: %.2f pages/s (the tick allows 10)\n",
                tls ? "https (links over http, redirected)" : "http", figures.pages,
                figures.seconds, figures.pages / figures.seconds);
    PrintCounts("http connections", site.http());
    if (site.https())
        PrintCounts("TLS handshakes", *site.https());
    return figures.pages == pages;
}

} // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultPages;
    // Only the loopback site is fetched; a proxy would add its own timing.
    setenv("no_proxy", "*", 1);
    QCoreApplication application(argc, argv);
    const bool done = Report(false, pages) && Report(true, pages);
    return done ? 0 : 1;
}
