// Whether pages keep to themselves when kept connections misbehave: a crawl
// through the program's own 100 ms tick against a loopback site whose
// connections send a 408 when idle, a stray CR LF after each response, a
// late response nobody asked for, a late tail or a reset on reuse, then
// URL.csv read back: how many records hold the title of the page at their
// URL, out of all.
// Usage: kept_connections [pages] (100 by default).
#include "bench/misbehaving_site.h"
#include "bench/tick_crawl.h"
#include "support/csv_reader.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace torvesk::engine;

namespace {

constexpr int kDefaultPages = 100;
constexpr int kSitePages = 50;
constexpr int kMismatchesShown = 5;

// Prints the figure; true when every record holds its own page.
bool Report(const MisbehavingSite& site, const CrawlFigures& figures,
            const std::vector<CsvRecord>& records) {
    int matching = 0;
    int shown = 0;
    for (const CsvRecord& record : records) {
        const bool own = record.size() == 3 && site.TitleAt(record[0]) == record[1];
        matching += own;
        if (!own && shown++ < kMismatchesShown)
            std::printf("  %s has the title \"%s\"\n", record[0].c_str(),
                        record.size() > 1 ? record[1].c_str() : "");
    }
    std::printf("kept_connections: %d of %zu records hold the page at their URL "
                "(%d lines in %.1f s; %d requests on %d connections)\n",
                matching, records.size(), figures.pages, figures.seconds, site.Requests(),
                site.Connections());
    return matching == static_cast<int>(records.size());
}

} // namespace

int main(int argc, char** argv) {
    const int pages = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultPages;
    // Only the loopback site is fetched.
    setenv("no_proxy", "*", 1);
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const std::string log = dir.filePath("URL.csv").toStdString();
    const MisbehavingSite site(kSitePages);
    const CrawlFigures figures = CrawlThroughTheTick(log, FetchLimits{}, site.Url("/p0/"), pages);
    return Report(site, figures, ParseCsv(ReadWholeFile(log))) ? 0 : 1;
}
