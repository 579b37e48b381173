// Benchmark of one page's scan (HarvestLinks then ExtractTitle), fast scanner
// against the byte-by-byte oracle, on a typical 100 KB page with 100 links
// and on a full page whose 100 link starts have no end marker after them.
#include "engine/page_scanner.h"
#include "engine/page_scanner_oracle.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace torvesk::engine;

namespace {

constexpr int kTypicalPageSize = 100000;
constexpr int kLinksOnPage = 100;

// Head with a title, then paragraphs with one anchor each; no ">" inside a
// URL, so every link is accepted.
std::string TypicalPage() {
    std::string page = "<html><head><title>Torvesk benchmark page</title></head><body>\n";
    std::string paragraph;
    std::size_t paragraphSize = kTypicalPageSize / kLinksOnPage - 100;
    while (paragraph.size() < paragraphSize)
        paragraph += "Plain words of a page that a crawler reads byte by byte. ";
    paragraph.resize(paragraphSize);
    for (int k = 0; k < kLinksOnPage; ++k) {
        page += "<p>" + paragraph + " <a href=\"http://site" + std::to_string(k) +
                ".example/dir/\">Link " + std::to_string(k) + "</a></p>\n";
    }
    page += "</body></html>\n";
    page.resize(kTypicalPageSize, ' ');
    return page;
}

// 1,000,000 bytes of text with the 100 link starts spread evenly and no
// "/\"", ".html", ".htm" anywhere: every link search runs to the page end.
std::string WorstCasePage() {
    std::string page(kPageCapacity, 'x');
    int spacing = kPageCapacity / kLinksOnPage;
    for (int k = 0; k < kLinksOnPage; ++k)
        page.replace(k * spacing, 8, "\"http://");
    return page;
}

void FastScan(const PageBuffer& buffer, HarvestedLinks& links, char (&TITLE)[kTextCapacity]) {
    buffer.HarvestLinks(links);
    buffer.ExtractTitle(TITLE);
}

void OracleScan(const PageBuffer& buffer, HarvestedLinks& links, char (&TITLE)[kTextCapacity]) {
    OracleHarvestLinks(buffer.Bytes(), links);
    OracleExtractTitle(buffer.Bytes(), TITLE);
}

template <void (*Scan)(const PageBuffer&, HarvestedLinks&, char (&)[kTextCapacity])>
void ScanPage(benchmark::State& state, const std::string& page) {
    static HarvestedLinks links;
    char TITLE[kTextCapacity];
    PageBuffer buffer;
    buffer.Fill(page);
    for (auto _ : state) {
        Scan(buffer, links, TITLE);
        benchmark::DoNotOptimize(links.count);
        benchmark::DoNotOptimize(TITLE[0]);
    }
    state.counters["links"] = links.count;
}

void BM_FastTypical(benchmark::State& state) {
    ScanPage<FastScan>(state, TypicalPage());
}
void BM_OracleTypical(benchmark::State& state) {
    ScanPage<OracleScan>(state, TypicalPage());
}
void BM_FastWorstCase(benchmark::State& state) {
    ScanPage<FastScan>(state, WorstCasePage());
}
void BM_OracleWorstCase(benchmark::State& state) {
    ScanPage<OracleScan>(state, WorstCasePage());
}

} // namespace

BENCHMARK(BM_FastTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OracleTypical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FastWorstCase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OracleWorstCase)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
