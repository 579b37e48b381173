// The table of visited pages on its own: the oldest rows dropped at its
// bound while records still settle on the rows they belong to, the bytes
// of a row given back as the screen decodes them, a failure's words and
// redirections in the status, the CSV an export writes, and the cells as
// the style draws them.
#include "shell/results_csv.h"
#include "shell/results_filter.h"
#include "shell/results_table.h"
#include "shell/results_table_model.h"
#include "support/csv_reader.h"

#include <QApplication>
#include <QBuffer>
#include <QHeaderView>
#include <QImage>
#include <QStyledItemDelegate>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <tuple>
#include <utility>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

PageVisited Page(std::uint64_t visit, std::uint64_t record, long status = 200) {
    PageVisited page;
    page.visit = visit;
    page.url = "http://127.0.0.1/p" + std::to_string(visit) + "/";
    page.key = "k";
    page.status = status;
    page.record = record;
    return page;
}

RecordSettled Settled(std::uint64_t ordinal, bool written, int error = 0) {
    return RecordSettled{ordinal, written, error};
}

// How many pixels of two images of one size differ.
int DifferingPixels(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

// The table as it draws itself, and as the style's own delegate draws it.
std::pair<QImage, QImage> DrawnBothWays(ResultsTable& table) {
    QAbstractItemDelegate* own = table.itemDelegate();
    QApplication::processEvents(); // the layout a change of widths asks for
    const QImage drawn = table.grab().toImage();
    QStyledItemDelegate styles;
    table.setItemDelegate(&styles);
    QApplication::processEvents();
    const QImage reference = table.grab().toImage();
    table.setItemDelegate(own);
    return {drawn, reference};
}

} // namespace

TEST(ResultsTableModelTest, DropsTheOldestRowsAtItsBoundAndSettlesRecordsOnTheirRows) {
    ResultsTableModel model(nullptr, 200); // drops 2 rows at a time
    model.addPages({Page(1, 0)});          // a page that made no record
    for (std::uint64_t visit = 2; visit <= 200; ++visit)
        model.addPages({Page(visit, visit - 1)});
    EXPECT_EQ(model.text(0, ResultsTableModel::Record), "なし");
    EXPECT_EQ(model.text(1, ResultsTableModel::Record), "書き込み待ち");

    model.addPages({Page(201, 200)});
    ASSERT_EQ(model.rowCount(), 199);
    EXPECT_EQ(model.text(0, ResultsTableModel::Visit), "3");
    EXPECT_EQ(model.text(198, ResultsTableModel::Visit), "201");
    model.settleRecord(Settled(1, true)); // its row, visit 2, is gone
    model.settleRecord(Settled(2, true));
    model.settleRecord(Settled(3, false, EACCES));
    EXPECT_EQ(model.text(0, ResultsTableModel::Record), "書き込み済み");
    EXPECT_EQ(model.text(1, ResultsTableModel::Record), "書き込めず: 書き込みの許可がありません");
    EXPECT_EQ(model.text(2, ResultsTableModel::Record), "書き込み待ち");
    model.settleRecord(Settled(4, false)); // left out: the file held earlier ones
    EXPECT_EQ(model.text(2, ResultsTableModel::Record),
              "書き込めず: 先の記録がまだファイルを待っていました");
    for (std::uint64_t record = 5; record <= 200; ++record)
        model.settleRecord(Settled(record, true));
    EXPECT_EQ(model.text(198, ResultsTableModel::Record), "書き込み済み");
}

TEST(ResultsTableModelTest, CellsShowDecodedBytesStatusesAndFailuresAndFilterByThem) {
    ResultsTableModel model;
    PageVisited page = Page(1, 1, 301);
    page.title = "\x83\x5e\x83\x43\x83\x67\x83\x8b\nx"; // code page 932, and a line break
    page.redirections = 2;
    model.addPages({page});
    PageVisited failed = Page(2, 2, 0);
    failed.failure = "fetching http://127.0.0.1:1/ failed: could not connect";
    model.addPages({failed});
    model.addPages({Page(3, 3, 404)});

    EXPECT_EQ(model.text(0, ResultsTableModel::Title), "タイトル x");
    EXPECT_EQ(model.text(0, ResultsTableModel::Status), "301 (リダイレクト 2 回)");
    // The failure in the window's words, as the status bar words it.
    const QString failureShown = "http://127.0.0.1:1/ を取得できません: 接続できません";
    EXPECT_EQ(model.text(1, ResultsTableModel::Status), failureShown);
    EXPECT_TRUE(model.matches(0, "タイトル", false));
    EXPECT_TRUE(model.matches(0, "P1", false));
    EXPECT_FALSE(model.matches(0, "", true));
    EXPECT_TRUE(model.matches(1, "", true));
    EXPECT_TRUE(model.matches(2, "", true));
    // A failure sorts after every status, an error after a redirection.
    EXPECT_TRUE(model.lessThan(0, 2, ResultsTableModel::Status));
    EXPECT_TRUE(model.lessThan(2, 1, ResultsTableModel::Status));

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteResultsCsv(model, out));
    const std::vector<CsvRecord> lines = ParseCsv(out.data().toStdString());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1][3], "タイトル x");
    EXPECT_EQ(lines[2][4], failureShown.toStdString());
    EXPECT_TRUE(out.data().endsWith("\r\n"));
}

// The table lays each text out once and keeps it: what it draws must still
// be what the style draws, selection, right-aligned numbers and elision at
// the cell's width included, also once a column is narrowed.
TEST(ResultsTableTest, CellsAreDrawnAsTheStyleDrawsThemAtEveryColumnWidth) {
    ResultsTableModel model;
    ResultsFilter shown(model);
    ResultsTable table(model, shown);
    table.resize(900, 300);
    for (std::uint64_t visit = 1; visit <= 40; ++visit) {
        PageVisited page = Page(visit, visit, visit % 8 == 0 ? 404 : 200);
        page.url += std::string(visit % 3 * 20, 'a'); // some elided
        page.title = "\x83\x5e\x83\x43\x83\x67\x83\x8b " + std::to_string(visit);
        page.bytesReceived = visit * 997;
        model.addPages({page});
    }
    table.show();
    table.selectRow(2);
    QApplication::processEvents();
    // Glyphs laid out by two routes may differ by a fraction of a pixel.
    const int tolerance = 900 * 300 / 500;
    auto [drawn, reference] = DrawnBothWays(table);
    EXPECT_LE(DifferingPixels(drawn, reference), tolerance);
    table.horizontalHeader()->resizeSection(ResultsTableModel::Url, 120);
    table.horizontalHeader()->resizeSection(ResultsTableModel::Bytes, 30);
    std::tie(drawn, reference) = DrawnBothWays(table);
    EXPECT_LE(DifferingPixels(drawn, reference), tolerance);
}
