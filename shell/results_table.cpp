// The results table's keys, context menu and scrolling.
#include "shell/results_table.h"

#include "shell/results_cell_delegate.h"
#include "shell/results_filter.h"
#include "shell/results_table_model.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

using namespace torvesk::crawl;
using namespace torvesk::engine;

namespace torvesk::shell {

ResultsTable::ResultsTable(ResultsTableModel& rows, ResultsFilter& shown, QWidget* parent)
    : QTableView(parent), rows_(rows), shown_(shown) {
    setModel(&shown);
    setItemDelegate(new ResultsCellDelegate(this));
    setAccessibleName(tr("訪問したページ"));
    setSelectionBehavior(SelectRows);
    setSortingEnabled(true);
    sortByColumn(ResultsTableModel::Visit, Qt::AscendingOrder);
    setWordWrap(false);
    setAlternatingRowColors(true);
    // Rows of one height, told once, so that a view of a million rows asks
    // no row for its size.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    // Addresses and titles get the room; the numbers keep to theirs.
    const int character = fontMetrics().averageCharWidth();
    horizontalHeader()->resizeSection(ResultsTableModel::Visit, 7 * character);
    horizontalHeader()->resizeSection(ResultsTableModel::Url, 45 * character);
    horizontalHeader()->resizeSection(ResultsTableModel::Title, 25 * character);
    horizontalHeader()->resizeSection(ResultsTableModel::Links, 7 * character);
    connect(&shown, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &ResultsTable::noteWhetherAtEnd);
    connect(&shown, &QAbstractItemModel::rowsInserted, this, &ResultsTable::followNewest);
}

void ResultsTable::noteWhetherAtEnd() {
    const QScrollBar* bar = verticalScrollBar();
    atEnd_ = bar->value() == bar->maximum();
}

void ResultsTable::followNewest() {
    if (atEnd_ && !selectionModel()->hasSelection())
        scrollToBottom();
}

QString ResultsTable::selectedRowsText() const {
    QModelIndexList chosen = selectionModel()->selectedRows();
    std::sort(chosen.begin(), chosen.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex& shownRow : chosen) {
        const int row = shown_.mapToSource(shownRow).row();
        QStringList cells;
        for (int column = 0; column < ResultsTableModel::ColumnCount; ++column)
            cells << rows_.text(row, column);
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

void ResultsTable::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        QApplication::clipboard()->setText(selectedRowsText());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ResultsTable::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex at = indexAt(event->pos());
    if (!at.isValid())
        return;
    const QString url = rows_.url(shown_.mapToSource(at).row());
    QMenu menu(this);
    menu.addAction(tr("アドレスをコピー"), this,
                   [url] { QApplication::clipboard()->setText(url); });
    menu.addAction(tr("ブラウザで開く"), this, [this, url] { openInBrowser(url); });
    menu.addAction(tr("選択した行をコピー"), this,
                   [this] { QApplication::clipboard()->setText(selectedRowsText()); });
    menu.exec(event->globalPos());
}

void ResultsTable::openInBrowser(const QString& url) {
    const QUrl page(url, QUrl::StrictMode);
    if (!page.isValid() || !QDesktopServices::openUrl(page))
        emit note(
            tr("開けませんでした: %1 (このデスクトップには開くプログラムがありません)").arg(url));
}

} // namespace torvesk::shell
