// The status bar below the results: what the crawl is doing and at which
// address, pages visited, fetches failed, links waiting, pages a second,
// records written and where URL.csv is, a warning when records could not be
// written, and why the last page failed. Its texts are plain QLabels, so a
// screen reader reads the words themselves.
#pragma once

#include "crawl/crawl_progress.h"

#include <QStatusBar>
class QLabel;

namespace torvesk::shell {

class StatusLabel;

class CrawlStatusBar : public QStatusBar {
    Q_OBJECT

public:
    // logFilePath is URL.csv's full path, shown below the records written.
    explicit CrawlStatusBar(const QString& logFilePath, QWidget* parent = nullptr);

    // Shows progress, and writeProblem (an errno, 0 for none) as the reason
    // records are not written; a label whose text is unchanged is left
    // alone, so that nothing repaints and no screen reader hears it again.
    void showProgress(const crawl::CrawlProgress& progress, int writeProblem = 0);

private:
    void showNotWritten(std::uint64_t count, int writeProblem);

    StatusLabel* state_;
    StatusLabel* counts_;
    StatusLabel* failure_;
    QLabel* warningIcon_;
    StatusLabel* notWritten_;
};

} // namespace torvesk::shell
