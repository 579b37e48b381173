// The status bar's two rows of labels and the words they show.
#include "shell/crawl_status_bar.h"

#include "display/text_codec.h"
#include "shell/status_label.h"
#include "shell/status_rows.h"

#include <QLabel>
#include <QStyle>

namespace {

QString StateText(const CrawlProgress& progress) {
    QString text;
    switch (progress.state) {
    case CrawlState::Idle:
        text = QStringLiteral("待機中");
        break;
    case CrawlState::Crawling:
        text = QStringLiteral("解析中");
        break;
    case CrawlState::Paused:
        text = QStringLiteral("一時停止中");
        break;
    }
    if (!progress.fetching.empty())
        text += QStringLiteral(": ") + OnOneLine(DecodeForScreen(progress.fetching));
    return text;
}

QString CountsText(const CrawlProgress& progress) {
    return QStringLiteral(
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
    return failure.empty() ? QString()
                           : QStringLiteral("最後の失敗: ") + OnOneLine(DecodeForScreen(failure));
}

} // namespace

CrawlStatusBar::CrawlStatusBar(const QString& logFilePath, QWidget* parent) : QStatusBar(parent) {
    using Stretch = StatusRows::Stretch;
    auto* rows = new StatusRows(this);
    state_ = rows->add<StatusLabel>(0, Stretch::Yes);
    counts_ = rows->add<StatusLabel>(0, Stretch::No);
    failure_ = rows->add<StatusLabel>(1, Stretch::Yes);
    warningIcon_ = rows->add<QLabel>(1, Stretch::No);
    const int iconSide = fontMetrics().height();
    warningIcon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSide));
    notWritten_ = rows->add<StatusLabel>(1, Stretch::No);
    rows->add<StatusLabel>(1, Stretch::No)->showText(QStringLiteral("記録先: ") + logFilePath);
    showProgress(CrawlProgress{});
    addWidget(rows, 1); // once filled, so that the bar's height makes room for both rows
}

void CrawlStatusBar::showProgress(const CrawlProgress& progress) {
    state_->showText(StateText(progress));
    counts_->showText(CountsText(progress));
    failure_->showText(FailureText(progress.lastFailure));
    showNotWritten(progress.records.notWritten);
}

// Shown as a warning, in words beside the icon, only once a record is lost.
void CrawlStatusBar::showNotWritten(std::uint64_t count) {
    warningIcon_->setVisible(count > 0);
    notWritten_->setVisible(count > 0);
    if (count > 0)
        notWritten_->showText(QStringLiteral("警告: 書き込めなかった記録 %1 件").arg(count));
}
