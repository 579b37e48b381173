// Composing the exported CSV, one line at a time so that a million rows
// never sit in memory twice.
#include "shell/results_csv.h"

#include "shell/results_table_model.h"

#include <QIODevice>

using namespace torvesk::crawl;
using namespace torvesk::engine;

namespace torvesk::shell {

namespace {

QByteArray Field(const QString& text) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

template <typename CellText> bool WriteLine(QIODevice& out, CellText cell) {
    QByteArray line;
    for (int column = 0; column < ResultsTableModel::ColumnCount; ++column) {
        if (column > 0)
            line += ',';
        line += Field(cell(column));
    }
    line += "\r\n";
    return out.write(line) == line.size();
}

} // namespace

bool WriteResultsCsv(const ResultsTableModel& rows, QIODevice& out) {
    bool whole = WriteLine(
        out, [&](int column) { return rows.headerData(column, Qt::Horizontal).toString(); });
    for (int row = 0; whole && row < rows.rowCount(); ++row)
        whole = WriteLine(out, [&](int column) { return rows.text(row, column); });
    return whole;
}

} // namespace torvesk::shell
