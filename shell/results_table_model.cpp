// The results table's rows: packing a visited page, the words and numbers
// each cell shows, the order of a sort and the match of a filter.
#include "shell/results_table_model.h"

#include "display/text_codec.h"
#include "shell/failure_words.h"
#include "shell/write_problem.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <limits>

using namespace torvesk::crawl;
using namespace torvesk::display;
using namespace torvesk::engine;

namespace torvesk::shell {

namespace {

template <typename Small, typename Wide> Small Clamped(Wide value) {
    return static_cast<Small>(std::min<Wide>(value, std::numeric_limits<Small>::max()));
}

QString Shown(std::string_view bytes) {
    return OnOneLine(DecodeForScreen(bytes));
}

} // namespace

ResultsTableModel::ResultsTableModel(QObject* parent, int maxRows)
    : QAbstractTableModel(parent), maxRows_(std::max(1, maxRows)) {}

int ResultsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[ColumnCount] = {"#",
                                                      QT_TR_NOOP("時刻"),
                                                      "URL",
                                                      "TITLE",
                                                      QT_TR_NOOP("状態"),
                                                      QT_TR_NOOP("バイト"),
                                                      QT_TR_NOOP("リンク"),
                                                      "KEY",
                                                      QT_TR_NOOP("記録")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return tr(kHeaders[section]);
}

QVariant ResultsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int column = index.column();
    if (role == Qt::DisplayRole)
        return text(index.row(), column);
    if (role == Qt::TextAlignmentRole && (column == Visit || column == Bytes || column == Links))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

ResultsTableModel::Row ResultsTableModel::Packed(const PageVisited& page) {
    Row row{};
    row.fields = page.url;
    row.keyAt = Clamped<std::uint16_t>(row.fields.size());
    row.fields += page.key;
    row.titleAt = Clamped<std::uint16_t>(row.fields.size());
    row.fields += page.title;
    row.failureAt = Clamped<std::uint16_t>(row.fields.size());
    row.fields += page.failure;
    row.fields.shrink_to_fit();
    row.links = Clamped<std::uint16_t>(page.linksHarvested);
    row.status = Clamped<std::int16_t>(page.status);
    row.redirections = Clamped<std::uint8_t>(page.redirections);
    row.record = page.record == 0 ? RecordState::None : RecordState::Pending;
    row.bytes = Clamped<std::uint32_t>(page.bytesReceived);
    row.visit = page.visit;
    row.recordOrdinal = page.record;
    row.finishedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(page.finished.time_since_epoch())
            .count();
    return row;
}

void ResultsTableModel::addPages(const std::vector<PageVisited>& pages) {
    if (pages.empty())
        return;
    while (!rows_.empty() && rows_.size() + pages.size() > static_cast<std::size_t>(maxRows_))
        dropOldest();
    const std::size_t kept = std::min(pages.size(), static_cast<std::size_t>(maxRows_));
    const int at = rowCount();
    beginInsertRows({}, at, at + static_cast<int>(kept) - 1);
    for (auto page = pages.end() - static_cast<std::ptrdiff_t>(kept); page != pages.end(); ++page)
        rows_.push_back(Packed(*page));
    endInsertRows();
}

// Records settle in the order their rows came, so the search goes on from
// where the last one ended.
void ResultsTableModel::settleRecord(const RecordSettled& record) {
    while (unsettled_ < rows_.size() && (rows_[unsettled_].record == RecordState::None ||
                                         rows_[unsettled_].recordOrdinal < record.ordinal))
        ++unsettled_;
    if (unsettled_ == rows_.size() || rows_[unsettled_].recordOrdinal != record.ordinal)
        return; // its row was dropped already
    Row& row = rows_[unsettled_];
    row.record = record.written ? RecordState::Written : RecordState::NotWritten;
    // An errno beyond a byte (none on Linux) reads as an I/O error.
    row.error =
        static_cast<std::uint8_t>(record.error >= 0 && record.error <= 255 ? record.error : EIO);
    const QModelIndex cell = index(static_cast<int>(unsettled_), Record);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void ResultsTableModel::dropOldest() {
    const int dropped = std::min(rowCount(), std::max(1, maxRows_ / kDroppedShare));
    beginRemoveRows({}, 0, dropped - 1);
    rows_.erase(rows_.begin(), rows_.begin() + dropped);
    unsettled_ -= std::min<std::size_t>(unsettled_, static_cast<std::size_t>(dropped));
    endRemoveRows();
}

std::string_view ResultsTableModel::field(const Row& row, int column) const {
    const std::string_view all = row.fields;
    switch (column) {
    case Url:
        return all.substr(0, row.keyAt);
    case Key:
        return all.substr(row.keyAt, row.titleAt - row.keyAt);
    case Title:
        return all.substr(row.titleAt, row.failureAt - row.titleAt);
    default:
        return all.substr(row.failureAt);
    }
}

QString ResultsTableModel::statusText(const Row& row) const {
    if (row.status == 0)
        return FailureInWords(std::string(field(row, Status)));
    QString text = QString::number(row.status);
    if (row.redirections > 0)
        text += tr(" (リダイレクト %1 回)").arg(row.redirections);
    return text;
}

QString ResultsTableModel::recordText(const Row& row) const {
    switch (row.record) {
    case RecordState::None:
        return tr("なし");
    case RecordState::Pending:
        return tr("書き込み待ち");
    case RecordState::Written:
        return tr("書き込み済み");
    case RecordState::NotWritten:
        break;
    }
    if (row.error == 0)
        return tr("書き込めず: 先の記録がまだファイルを待っていました");
    return tr("書き込めず: ") + WriteProblemInWords(row.error);
}

QString ResultsTableModel::text(int rowIndex, int column) const {
    const Row& row = rows_[static_cast<std::size_t>(rowIndex)];
    switch (column) {
    case Visit:
        return QString::number(row.visit);
    case Time:
        return QDateTime::fromMSecsSinceEpoch(row.finishedMs).toString(u"HH:mm:ss.zzz");
    case Status:
        return statusText(row);
    case Bytes:
        return QString::number(row.bytes);
    case Links:
        return QString::number(row.links);
    case Record:
        return recordText(row);
    default:
        return Shown(field(row, column));
    }
}

QString ResultsTableModel::url(int row) const {
    return text(row, Url);
}

// A failure (status 0) sorts after every status.
bool ResultsTableModel::lessThan(int a, int b, int column) const {
    const Row& left = rows_[static_cast<std::size_t>(a)];
    const Row& right = rows_[static_cast<std::size_t>(b)];
    const auto status = [](const Row& row) { return row.status == 0 ? 1000 : int(row.status); };
    switch (column) {
    case Visit:
    case Time:
        return left.visit < right.visit;
    case Status:
        return status(left) != status(right) ? status(left) < status(right)
                                             : field(left, Status) < field(right, Status);
    case Bytes:
        return left.bytes < right.bytes;
    case Links:
        return left.links < right.links;
    case Record:
        return left.record < right.record;
    default:
        return field(left, column) < field(right, column);
    }
}

bool ResultsTableModel::matches(int rowIndex, const QString& text, bool failuresOnly) const {
    const Row& row = rows_[static_cast<std::size_t>(rowIndex)];
    if (failuresOnly && row.status != 0 && row.status < kFirstHttpError)
        return false;
    return text.isEmpty() || Shown(field(row, Url)).contains(text, Qt::CaseInsensitive) ||
           Shown(field(row, Title)).contains(text, Qt::CaseInsensitive);
}

} // namespace torvesk::shell
