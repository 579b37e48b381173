// ResultsTableModel: one row per visited page, the latest kMaxResultRows of
// them, kept as compact bytes and decoded only when a cell is drawn; each
// row's record state follows the log as it settles the records, in order.
#pragma once

#include "crawl/page_visited.h"
#include "engine/result_log.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace torvesk::shell {

// Rows kept; the oldest hundredth of them is dropped at a time, so that a
// crawl of millions of pages drops rows rarely, at a cost that does not grow.
constexpr int kMaxResultRows = 1'000'000;
constexpr int kDroppedShare = 100;

class ResultsTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Visit, Time, Url, Title, Status, Bytes, Links, Key, Record, ColumnCount };

    // maxRows other than kMaxResultRows: for tests.
    explicit ResultsTableModel(QObject* parent = nullptr, int maxRows = kMaxResultRows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Appends the pages as rows, in one insertion.
    void addPages(const std::vector<crawl::PageVisited>& pages);
    void settleRecord(const engine::RecordSettled& record);

    // Whether row a sorts before row b by column: numbers as numbers, text
    // by its bytes, which keeps a sort of 100,000 rows free of decoding.
    bool lessThan(int a, int b, int column) const;
    // Whether row's URL or title holds text (case aside); failures only
    // also wants an HTTP error or no answer.
    bool matches(int row, const QString& text, bool failuresOnly) const;
    // The cell as shown and copied.
    QString text(int row, int column) const;
    QString url(int row) const;

private:
    enum class RecordState : std::uint8_t { None, Pending, Written, NotWritten };
    // Text fields one after another in one string: URL, KEY, title, failure.
    struct Row {
        std::string fields;
        std::uint16_t keyAt, titleAt, failureAt;
        std::uint16_t links;
        std::int16_t status;
        std::uint8_t redirections;
        RecordState record;
        std::uint8_t error; // the file's, when not written (see RecordSettled)
        std::uint32_t bytes;
        std::uint64_t visit;
        std::uint64_t recordOrdinal;
        std::int64_t finishedMs; // since the epoch
    };

    std::string_view field(const Row& row, int column) const;
    QString statusText(const Row& row) const;
    QString recordText(const Row& row) const;
    void dropOldest();
    static Row Packed(const crawl::PageVisited& page);

    const int maxRows_;
    std::deque<Row> rows_;
    std::size_t unsettled_ = 0; // the first row whose record may still be pending
};

} // namespace torvesk::shell
