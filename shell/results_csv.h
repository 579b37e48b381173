// The results table written out as CSV: UTF-8, a header row, every row and
// column as the table shows it, fields quoted when they need it.
#pragma once
class QIODevice;

namespace torvesk::shell {

class ResultsTableModel;

// Returns whether every byte reached out.
bool WriteResultsCsv(const ResultsTableModel& rows, QIODevice& out);

} // namespace torvesk::shell
