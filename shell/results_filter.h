// ResultsFilter: the results table as the view shows it, sorted by the
// model's own order and filtered by a text in URL or title and by failures
// only, without asking a cell for its text to sort.
#pragma once

#include <QSortFilterProxyModel>

namespace torvesk::shell {

class ResultsTableModel;

class ResultsFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit ResultsFilter(ResultsTableModel& rows, QObject* parent = nullptr);

    void setText(const QString& text);
    void setFailuresOnly(bool failuresOnly);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    const ResultsTableModel& rows_;
    QString text_;
    bool failuresOnly_ = false;
};

} // namespace torvesk::shell
