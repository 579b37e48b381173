// The status bar's cost on the GUI thread: one refresh while a crawl goes
// on (counts, page rate, address and records all changed), laid out and
// painted inside the program's window, as the window does it a few times a
// second.
#include "shell/crawl_status_bar.h"
#include "shell/main_window.h"
#include "shell/ui_driver.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

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
    PendingActions actions;
    actions.WhenModalShows([](QWidget* dialog) { ClickButton(dialog, "OK"); });
    TempDir dir;
    MainWindow window(1, dir.File("URL.csv"));
    window.resize(1200, 900); // the whole results area and the bar below it
    window.show();
    auto* bar = window.findChild<CrawlStatusBar*>();
    if (!QTest::qWaitForWindowExposed(&window) || bar == nullptr) {
        state.SkipWithError("the window never showed its status bar");
        return;
    }
    std::uint64_t step = 0;
    for (auto _ : state) {
        bar->showProgress(ProgressAt(++step));
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
