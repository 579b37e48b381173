// The table of visited pages on its own: the oldest rows dropped at its
// bound while records still settle on the rows they belong to, the bytes
// of a row given back as the screen decodes them, a failure's words and
// redirections in the status, and the CSV an export writes.
#include "shell/results_csv.h"
#include "shell/results_table_model.h"
#include "support/csv_reader.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <string>

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

RecordSettled Settled(std::uint64_t ordinal, bool written, std::string why = {}) {
    return RecordSettled{ordinal, written, std::move(why)};
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
    model.settleRecord(Settled(3, false, "the file refused it"));
    EXPECT_EQ(model.text(0, ResultsTableModel::Record), "書き込み済み");
    EXPECT_EQ(model.text(1, ResultsTableModel::Record), "書き込めず: the file refused it");
    EXPECT_EQ(model.text(2, ResultsTableModel::Record), "書き込み待ち");
    for (std::uint64_t record = 4; record <= 200; ++record)
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
