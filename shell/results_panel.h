// ResultsPanel: the pages visited, beside the results screen: a filter
// field, a failures-only switch, the export button, a line for notes, and
// the table itself, with the rows it owns.
#pragma once

#include "crawl/page_visited.h"
#include "engine/result_log.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <vector>
class QCheckBox;
class QLabel;
class QLineEdit;

namespace torvesk::shell {

// Pages and records reach the table at most this often, in one insertion:
// a redraw of the table costs several steps' work of the GUI thread, so a
// crawl at the program's ten pages a second redraws it once a second, not
// once a page.
constexpr int kTableRefreshMs = 1000;

class ResultsFilter;
class ResultsTable;
class ResultsTableModel;

class ResultsPanel : public QWidget {
    Q_OBJECT

public:
    // logFilePath is URL.csv's full path, which an export never writes.
    explicit ResultsPanel(const QString& logFilePath, QWidget* parent = nullptr);

    // Held until the next refresh.
    void addPage(const crawl::PageVisited& page);
    void settleRecord(const engine::RecordSettled& record);
    // Writes the whole table to path as CSV; says in the panel how it went.
    bool exportTo(const QString& path);

    // Kept for tests, which read and drive them.
    ResultsTableModel& rows() { return *rows_; }
    ResultsFilter& shown() { return *shown_; }
    ResultsTable& table() { return *table_; }
    QLineEdit& filterField() { return *filterField_; }
    QCheckBox& failuresOnly() { return *failuresOnly_; }
    QString noteText() const;

private:
    QWidget* createControls();
    void refreshSoon();
    void refresh();
    void chooseExportFile();
    void showNote(const QString& text);

    const QString logFilePath_;
    ResultsTableModel* rows_;
    ResultsFilter* shown_;
    ResultsTable* table_;
    QLineEdit* filterField_ = nullptr;
    QCheckBox* failuresOnly_ = nullptr;
    QLabel* note_ = nullptr;
    std::vector<crawl::PageVisited> pagesHeld_;
    std::vector<engine::RecordSettled> recordsHeld_; // settled after the pages held
    QTimer refreshTimer_;
};

} // namespace torvesk::shell
