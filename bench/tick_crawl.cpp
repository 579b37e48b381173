// CrawlThroughTheTick: the runner's lines counted in the application's own
// event loop, which a patience timer ends if the crawl gets stuck.
#include "bench/tick_crawl.h"

#include "crawl/crawl_runner.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>

using namespace torvesk::engine;
using namespace torvesk::crawl;

namespace {

constexpr int kPatienceMsPerPage = 1000; // before a run counts as stuck

} // namespace

CrawlFigures CrawlThroughTheTick(const std::string& logPath, const FetchLimits& limits,
                                 const std::string& start, int pages) {
    CrawlRunner runner(logPath, 1, limits);
    runner.setStartUrl(start);
    CrawlFigures figures;
    QObject::connect(&runner, &CrawlRunner::lineReady, [&figures, pages] {
        if (++figures.pages == pages)
            QCoreApplication::quit();
    });
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, &QCoreApplication::quit);
    patience.start(pages * kPatienceMsPerPage);
    const auto begun = std::chrono::steady_clock::now();
    runner.startTicking();
    runner.startCrawl();
    QCoreApplication::exec();
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    return figures;
}
