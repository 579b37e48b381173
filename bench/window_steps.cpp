// The GUI thread's CPU time for one crawl step through the program's window,
// status bar and all: a loopback site of 1,000,000-byte pages is crawled
// from the start dialog and the menu; the fetch runs on its own thread and
// is not counted. Usage: window_steps [steps] [tick ms] [table rows]: 200
// steps after 20 unmeasured, with the tick at 0 (each step follows the last
// at once) unless given; at the program's 100 ms the time between steps,
// timers and status refreshes included, counts too. Table rows are put into
// the table of visited pages before the crawl begins, numbered before it.
#include "bench/sized_page.h"
#include "bench/table_rows.h"
#include "engine/page_scanner.h"
#include "shell/main_window.h"
#include "shell/results_panel.h"
#include "shell/ui_driver.h"
#include "support/temp_dir.h"
#include "support/test_site.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

constexpr int kDefaultSteps = 200;
constexpr int kWarmUpSteps = 20;
constexpr QSize kWindowSize(1200, 900);

double ThreadCpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

struct Span {
    double cpu = 0;
    std::chrono::steady_clock::time_point wall;
};

Span Now() {
    return {ThreadCpuSeconds(), std::chrono::steady_clock::now()};
}

} // namespace

int main(int argc, char** argv) {
    const int steps = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultSteps;
    const int periodMs = argc > 2 ? std::max(0, std::atoi(argv[2])) : 0;
    const int tableRows = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
    setenv("no_proxy", "*", 1); // only the loopback site is fetched
    QApplication application(argc, argv);
    TestSite site(TestSite::Requests::Counted);
    for (int page = 0; page < kSitePages; ++page)
        site.AddRaw("/p" + std::to_string(page) + "/", MakePage(site.Url(""), page, kPageCapacity));

    PendingActions actions;
    actions.WhenModalShows([&](QWidget* dialog) {
        UrlField(dialog)->setText(QString::fromStdString(site.Url("/p0/")));
        ClickButton(dialog, "OK");
    });
    TempDir dir;
    MainWindow window(1, dir.File("URL.csv"));
    // One size whatever the window opens at on this screen, large enough for
    // the whole results screen, so that builds compare.
    window.resize(kWindowSize);
    window.show();
    // Rows of the crawl's earlier pages: numbered before its first visit, so
    // that its pages are appended after them, as in one long crawl.
    for (int row = 1; row <= tableRows; ++row) {
        PageVisited earlier = TableRow(row);
        earlier.visit = 0;
        window.resultsPanel().addPage(earlier);
    }
    window.runner().setInterval(periodMs);
    int shown = 0;
    Span begun, ended;
    QObject::connect(&window.runner(), &CrawlRunner::lineReady, [&] {
        if (++shown == kWarmUpSteps)
            begun = Now();
        if (shown < kWarmUpSteps + steps)
            return;
        ended = Now();
        window.runner().stop();
        QApplication::exit(0); // quit() would close the window, which asks first
    });
    actions.WhenTrue([] { return true; }, [&] { ChooseMenuEntry(&window, "解析スタート"); });
    QApplication::exec();

    const double wall = std::chrono::duration<double>(ended.wall - begun.wall).count();
    std::printf("window_steps: %d steps of %d-byte pages, tick %d ms, %d table rows, GUI thread "
                "CPU %.3f ms a step, %.1f steps a second\n",
                steps, kPageCapacity, periodMs, tableRows, (ended.cpu - begun.cpu) * 1000 / steps,
                steps / wall);
    return 0;
}
