// The status bar's cost on the GUI thread: one refresh while a crawl goes
// on (counts, page rate, address and records all changed), laid out and
// painted, as the window does it a few times a second.
#include "shell/crawl_status_bar.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

// The progress of a crawl at its step-th page.
CrawlProgress ProgressAt(std::uint64_t step) {
    CrawlProgress progress;
    progress.state = CrawlState::Crawling;
    progress.fetching = "http://127.0.0.1:8080/p" + std::to_string(step % 50) + "/";
    progress.pagesVisited = step;
    progress.fetchesFailed = step / 20;
    progress.linksWaiting = int(100 + step % 100);
    progress.pagesPerSecond = 8.0 + double(step % 20) / 10;
    progress.records = {step, 0};
    return progress;
}

void BM_StatusRefresh(benchmark::State& state) {
    CrawlStatusBar bar("/home/user/URL.csv");
    bar.resize(1200, bar.sizeHint().height());
    bar.show();
    if (!QTest::qWaitForWindowExposed(&bar)) {
        state.SkipWithError("the status bar never showed");
        return;
    }
    std::uint64_t step = 0;
    for (auto _ : state) {
        bar.showProgress(ProgressAt(++step));
        // The layout and the paints it asked for, as the event loop runs them.
        QApplication::sendPostedEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    }
}
BENCHMARK(BM_StatusRefresh)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
