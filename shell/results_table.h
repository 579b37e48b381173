// ResultsTable: the table of visited pages as a view: Ctrl+C copies the
// selected rows as tab-separated text, its context menu copies a page's
// address and opens the page in the desktop's browser, and it follows the
// newest row unless the user has scrolled away or selected something.
#pragma once

#include <QTableView>

namespace torvesk::shell {

class ResultsFilter;
class ResultsTableModel;

class ResultsTable : public QTableView {
    Q_OBJECT

public:
    ResultsTable(ResultsTableModel& rows, ResultsFilter& shown, QWidget* parent = nullptr);

    // The selected rows, one line each, cells separated by tabs, in the
    // order shown.
    QString selectedRowsText() const;

signals:
    // Something the user should read, such as a page no program could open.
    void note(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void noteWhetherAtEnd();
    void followNewest();
    void openInBrowser(const QString& url);

    ResultsTableModel& rows_;
    ResultsFilter& shown_;
    bool atEnd_ = true; // the last row was in view before rows came
};

} // namespace torvesk::shell
