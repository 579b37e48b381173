// The results table's sort and filter, handed to the model's rows.
#include "shell/results_filter.h"

#include "shell/results_table_model.h"

using namespace torvesk::crawl;
using namespace torvesk::engine;

namespace torvesk::shell {

ResultsFilter::ResultsFilter(ResultsTableModel& rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows) {
    setSourceModel(&rows);
}

void ResultsFilter::setText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    invalidateRowsFilter();
}

void ResultsFilter::setFailuresOnly(bool failuresOnly) {
    if (failuresOnly == failuresOnly_)
        return;
    failuresOnly_ = failuresOnly;
    invalidateRowsFilter();
}

bool ResultsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return rows_.matches(sourceRow, text_, failuresOnly_);
}

bool ResultsFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return rows_.lessThan(left.row(), right.row(), left.column());
}

} // namespace torvesk::shell
