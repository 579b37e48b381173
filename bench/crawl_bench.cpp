// Crawl step figures: the CPU time of a step outside the fetch (tick, title,
// results line, record, harvest) on 100 KB and 1,000,000-byte pages, and a
// crawl of 200 steps over a loopback site against the 10 pages a second
// that the 100 ms tick allows.
#include "bench/sized_page.h"
#include "display/results_screen.h"
#include "engine/crawler.h"

#include "support/blocking_step.h"
#include "support/temp_dir.h"
#include "support/test_site.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

using namespace torvesk::engine;
using namespace torvesk::display;

namespace {

// A page of n links, "http://127.0.0.1/p<first>/" on.
std::string LinkList(int first, int n) {
    std::string page;
    for (int i = first; i < first + n; ++i)
        page += "<a href=\"http://127.0.0.1/p" + std::to_string(i) + "/\">link text</a>\n";
    return page;
}

// A crawler whose table holds 199 distinct links and whose step is due:
// two started steps on an empty URL (no record) whose bodies hold the links.
std::unique_ptr<Crawler> CrawlerWithFullTable(const std::string& logPath) {
    auto crawler = std::make_unique<Crawler>(logPath);
    crawler->CrawlInit(1);
    crawler->SetCurrentUrl("");
    for (const std::string& body :
         {LinkList(0, kMaxLinksPerPage),
          LinkList(kMaxLinksPerPage, kLinkTableLimit - 1 - kMaxLinksPerPage)}) {
        crawler->StartCrawl();
        crawler->AnalyzePage(body);
    }
    return crawler;
}

double ThreadCpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

// What the GUI thread does for one step, in its own CPU time: the tick
// (shuffle, dedupe, pop), the analysis of the fetched body (title, line,
// record handed to the log, harvest) and the drawing of the line, on a
// screen of the given device pixel ratio that is cleared once it holds a
// screenful, as the crawl's screen is.
void BM_StepOutsideFetch(benchmark::State& state) {
    TempDir dir;
    const std::string page = MakePage("http://127.0.0.1:1", 1, std::size_t(state.range(0)));
    ResultsScreen screen;
    screen.SetDevicePixelRatio(double(state.range(1)));
    std::unique_ptr<Crawler> crawler;
    for (auto _ : state) {
        // The last step's crawler goes here, untimed: the end of a crawl,
        // which joins its log's thread, is no part of a step.
        state.PauseTiming();
        crawler = CrawlerWithFullTable(dir.File("URL.csv"));
        state.ResumeTiming();
        crawler->CrawlTick();
        const ResultsLine line = crawler->AnalyzePage(page);
        const bool full = screen.lines().size() > std::size_t{kLastRow};
        screen.ShowLine(line.row, line.clearsScreen || full, line.text.c_str());
    }
    state.SetLabel("ratio " + std::to_string(state.range(1)));
}
BENCHMARK(BM_StepOutsideFetch)
    ->ArgsProduct({{100 * 1000, kPageCapacity}, {1, 2}})
    ->Unit(benchmark::kMillisecond);

void BM_CrawlLoopback(benchmark::State& state) {
    TestSite site;
    const std::string base = site.Url("");
    for (int page = 0; page < kSitePages; ++page)
        site.AddRaw("/p" + std::to_string(page) + "/", MakePage(base, page, 100 * 1000));
    TempDir dir;
    const int steps = int(state.range(0));
    for (auto _ : state) {
        Crawler crawler(dir.File("URL.csv"));
        crawler.CrawlInit(1);
        crawler.SetCurrentUrl(base + "/p0/");
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuSeconds();
        RunStep(crawler, crawler.StartCrawl());
        for (int i = 1; i < steps; ++i)
            RunStep(crawler, crawler.CrawlTick());
        const double cpu = ThreadCpuSeconds() - cpuStart;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        state.SetIterationTime(wall);
        state.counters["pages_per_s"] = steps / wall;
        state.counters["step_cpu_ms"] = cpu * 1000 / steps;
        state.counters["tick_limit_pages_per_s"] = 10;
    }
}
BENCHMARK(BM_CrawlLoopback)
    ->Arg(200)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
