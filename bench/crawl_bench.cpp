// Crawl step figures: the CPU time of a step outside the fetch (tick, title,
// results line, record, harvest) on 100 KB and 1,000,000-byte pages, and a
// crawl of 200 steps over a loopback site against the 10 pages a second
// that the 100 ms tick allows.
#include "canvas.h"
#include "crawl_state.h"
#include "crawl_step.h"
#include "link_table.h"
#include "page_scanner.h"

#include "support/temp_dir.h"
#include "support/test_site.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr int kSitePages = 50;
constexpr int kLinksPerPage = 100;

// A page of about size bytes: a title and 100 absolute links spread evenly
// through filler text, like a long article.
std::string MakePage(const std::string& base, int page, std::size_t size) {
    std::string body = "<html><head><title>Page " + std::to_string(page) + "</title></head><body>";
    const std::size_t fillerPerLink = size / kLinksPerPage > 80 ? size / kLinksPerPage - 80 : 0;
    for (int k = 0; k < kLinksPerPage; ++k) {
        int target = (page * 7 + k * 13) % kSitePages;
        body += "<p>" + std::string(fillerPerLink, 'x') + "</p><a href=\"" + base + "/p" +
                std::to_string(target) + "/\">link " + std::to_string(k) + "</a>\n";
    }
    body += "</body></html>";
    body.resize(std::min<std::size_t>(body.size(), kPageCapacity), ' ');
    return body;
}

void LoadPage(const std::string& page) {
    std::memcpy(g_pageBuffer, page.data(), page.size());
    g_pageBuffer[page.size()] = '\0';
}

void FillTable() {
    ResetLinkTable();
    for (int i = 0; i < kLinkTableLimit - 1; ++i)
        PushLink(("http://127.0.0.1/p" + std::to_string(i) + "/").c_str(), "link text");
}

double ThreadCpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

void BM_StepOutsideFetch(benchmark::State& state) {
    TempDir dir;
    WorkingDirectory inDir(dir.path());
    ResetCrawlState();
    LoadPage(MakePage("http://127.0.0.1:1", 1, std::size_t(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        FillTable();
        state.ResumeTiming();
        ShuffleAndDedupe();
        int next = PopNext();
        AnalyzeFetchedPage(nullptr, g_linkTable.URL[next], g_linkTable.KEY[next]);
    }
}
BENCHMARK(BM_StepOutsideFetch)
    ->Arg(100 * 1000)
    ->Arg(kPageCapacity)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

void BM_CrawlLoopback(benchmark::State& state) {
    TestSite site;
    const std::string base = site.Url("");
    for (int page = 0; page < kSitePages; ++page)
        site.AddRaw("/p" + std::to_string(page) + "/", MakePage(base, page, 100 * 1000));
    TempDir dir;
    WorkingDirectory inDir(dir.path());
    const int steps = int(state.range(0));
    for (auto _ : state) {
        ResetCrawlState();
        CrawlInitSeeded(1);
        std::snprintf(g_crawlState.currentUrl, kUrlCapacity, "%s/p0/", base.c_str());
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuSeconds();
        StartCrawl(nullptr);
        for (int i = 1; i < steps; ++i)
            CrawlTick(nullptr);
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

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // fonts for the results lines
    g_canvas.Init(nullptr, kCanvasWidth, kCanvasHeight);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
