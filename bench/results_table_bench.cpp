// The results table at scale: the resident memory a row costs at 1,000,000
// rows, the time an append takes early and late, and the time to sort and
// filter 100,000 rows through the view's own proxy, table shown. Usage:
// results_table_bench [rows for memory].
#include "bench/table_rows.h"
#include "shell/results_filter.h"
#include "shell/results_table.h"
#include "shell/results_table_model.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

constexpr int kSortedRows = 100'000;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process's resident set, from /proc.
long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    return 0;
}

void MeasureMemory(int rows) {
    ResultsTableModel model;
    const long before = ResidentKilobytes();
    std::size_t textBytes = 0;
    double firstMs = 0;
    for (int row = 1; row <= rows; ++row) {
        const PageVisited page = TableRow(row);
        textBytes += page.url.size() + page.key.size() + page.title.size() + page.failure.size();
        const auto start = Clock::now();
        model.addPages({page});
        if (row == 10)
            firstMs = MillisecondsSince(start);
        if (row == rows)
            std::printf("append: row 10 %.4f ms, row %d %.4f ms\n", firstMs, rows,
                        MillisecondsSince(start));
    }
    const double perRow = (ResidentKilobytes() - before) * 1024.0 / rows;
    std::printf("memory: %d rows, %.0f bytes a row resident, of which %.0f bytes of text\n",
                model.rowCount(), perRow, static_cast<double>(textBytes) / rows);
}

// kSortedRows rows in a view on screen, through the view's own proxy.
struct ShownTable {
    ResultsTableModel model;
    ResultsFilter shown{model};
    ResultsTable table{model, shown};

    ShownTable() {
        table.resize(1200, 600);
        table.show();
        std::vector<PageVisited> pages;
        for (int row = 1; row <= kSortedRows; ++row)
            pages.push_back(TableRow(row));
        model.addPages(pages);
        QApplication::processEvents();
    }
};

void MeasureSortAndFilter() {
    ShownTable shownTable;
    ResultsFilter& shown = shownTable.shown;
    ResultsTable& table = shownTable.table;
    for (int column :
         {ResultsTableModel::Url, ResultsTableModel::Title, ResultsTableModel::Status}) {
        const auto start = Clock::now();
        table.sortByColumn(column, Qt::DescendingOrder);
        std::printf("sort %d rows by column %d: %.1f ms\n", kSortedRows, column,
                    MillisecondsSince(start));
    }
    auto start = Clock::now();
    shown.setText(QStringLiteral("p1234"));
    std::printf("filter %d rows by text: %.1f ms, %d shown\n", kSortedRows,
                MillisecondsSince(start), shown.rowCount());
    start = Clock::now();
    shown.setText({});
    shown.setFailuresOnly(true);
    std::printf("filter %d rows to failures: %.1f ms, %d shown\n", kSortedRows,
                MillisecondsSince(start), shown.rowCount());
}

double ThreadCpuMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec * 1e-6;
}

// What one refresh of a crawl at ten pages a second costs the GUI thread
// with 100,000 rows shown and the view following the newest: five rows in,
// their records settled, the table redrawn.
void MeasureRefresh() {
    ShownTable shownTable;
    ResultsTableModel& model = shownTable.model;
    std::vector<PageVisited> pages;
    constexpr int kRefreshes = 200;
    constexpr int kRowsARefresh = 5;
    int next = kSortedRows + 1;
    const double start = ThreadCpuMilliseconds();
    for (int refresh = 0; refresh < kRefreshes; ++refresh) {
        pages.clear();
        for (int row = 0; row < kRowsARefresh; ++row)
            pages.push_back(TableRow(next + row));
        model.addPages(pages);
        for (int row = 0; row < kRowsARefresh; ++row)
            model.settleRecord(RecordSettled{static_cast<std::uint64_t>(next + row), true, 0});
        next += kRowsARefresh;
        QApplication::processEvents();
    }
    std::printf("refresh of %d rows into %d shown: %.3f ms GUI thread CPU\n", kRowsARefresh,
                kSortedRows, (ThreadCpuMilliseconds() - start) / kRefreshes);
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kMaxResultRows;
    QApplication application(argc, argv);
    MeasureMemory(rows);
    MeasureSortAndFilter();
    MeasureRefresh();
    return 0;
}
