// The status bar's two rows of labels and the words they show.
#include "shell/crawl_status_bar.h"

#include "display/text_codec.h"
#include "shell/failure_words.h"
#include "shell/status_label.h"
#include "shell/status_rows.h"
#include "shell/write_problem.h"

#include <QLabel>
#include <QStyle>

using namespace torvesk::crawl;
using namespace torvesk::display;
using namespace torvesk::engine;

namespace torvesk::shell {

namespace {

QString StateText(const CrawlProgress& progress) {
    QString text;
    switch (progress.state) {
    case CrawlState::Idle:
        text = CrawlStatusBar::tr("待機中");
        break;
    case CrawlState::Crawling:
        text = CrawlStatusBar::tr("解析中");
        break;
    case CrawlState::Paused:
        text = CrawlStatusBar::tr("一時停止中");
        break;
    }
    if (!progress.fetching.empty())
        text += QStringLiteral(": ") + OnOneLine(DecodeForScreen(progress.fetching));
    return text;
}

QString CountsText(const CrawlProgress& progress) {
    return CrawlStatusBar::tr(
               "訪問 %1 ページ ・ 失敗 %2 ・ HTTP エラー %3 ・ 未訪問リンク %4 ・ %5 ページ/秒 ・ "
               "記録 %6 件")
        .arg(progress.pagesVisited)
        .arg(progress.fetchesFailed)
        .arg(progress.httpErrors)
        .arg(progress.linksWaiting)
        .arg(progress.pagesPerSecond, 0, 'f', 1)
        .arg(progress.records.written);
}

QString FailureText(const std::string& failure) {
    return failure.empty()
               ? QString()
               : CrawlStatusBar::tr("最後の失敗: %1").arg(OnOneLine(FailureInWords(failure)));
}

} // namespace

CrawlStatusBar::CrawlStatusBar(const QString& logFilePath, QWidget* parent) : QStatusBar(parent) {
    using Place = StatusRows::Place;
    auto* rows = new StatusRows(this);
    state_ = rows->add<StatusLabel>(0, Place::Stretch);
    counts_ = rows->add<StatusLabel>(0, Place::Fixed);
    failure_ = rows->add<StatusLabel>(1, Place::Stretch);
    warningIcon_ = rows->add<QLabel>(1, Place::Fixed);
    const int iconSide = fontMetrics().height();
    warningIcon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSide));
    notWritten_ = rows->add<StatusLabel>(1, Place::BesidePrevious);
    rows->add<StatusLabel>(1, Place::Fixed)->showText(tr("記録先: %1").arg(logFilePath));
    showProgress(CrawlProgress{});
    addWidget(rows, 1); // once filled, so that the bar's height makes room for both rows
}

void CrawlStatusBar::showProgress(const CrawlProgress& progress, int writeProblem) {
    state_->showText(StateText(progress));
    counts_->showText(CountsText(progress));
    failure_->showText(FailureText(progress.lastFailure));
    showNotWritten(progress.records.notWritten, writeProblem);
}

// Shown as a warning, in words beside the icon, only once a record is lost,
// with the reason when URL.csv is known to take no record.
void CrawlStatusBar::showNotWritten(std::uint64_t count, int writeProblem) {
    warningIcon_->setVisible(count > 0);
    notWritten_->setVisible(count > 0);
    if (count == 0)
        return;
    const QString lost = tr("警告: 書き込めなかった記録 %n 件", nullptr, static_cast<int>(count));
    notWritten_->showText(
        writeProblem == 0 ? lost : tr("%1（%2）").arg(lost, WriteProblemInWords(writeProblem)));
}

} // namespace torvesk::shell
