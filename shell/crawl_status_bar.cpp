// The status bar's two rows of labels and the words they show.
#include "shell/crawl_status_bar.h"

#include "display/text_codec.h"

#include <QBoxLayout>
#include <QLabel>
#include <QStyle>

#include <utility>

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
    return QStringLiteral("訪問 %1 ページ ・ 失敗 %2 ・ 未訪問リンク %3 ・ %4 ページ/秒")
        .arg(progress.pagesVisited)
        .arg(progress.fetchesFailed)
        .arg(progress.linksWaiting)
        .arg(progress.pagesPerSecond, 0, 'f', 1);
}

QString FailureText(const std::string& failure) {
    return failure.empty() ? QString()
                           : QStringLiteral("最後の失敗: ") + OnOneLine(DecodeForScreen(failure));
}

enum class Stretch { No, Yes };

// A label at the end of row; one that stretches takes the room left and may
// be cut off, so that a long address never widens the window.
QLabel* AddLabel(QBoxLayout& row, Stretch stretch) {
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText); // addresses and failure lines come from the web
    label->setMinimumWidth(1);
    if (stretch == Stretch::Yes)
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row.addWidget(label, stretch == Stretch::Yes ? 1 : 0);
    return label;
}

void SetText(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
}

} // namespace

CrawlStatusBar::CrawlStatusBar(QString logFilePath, QWidget* parent)
    : QStatusBar(parent), logFilePath_(std::move(logFilePath)) {
    auto* rows = new QWidget(this);
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* top = new QHBoxLayout;
    auto* bottom = new QHBoxLayout;
    column->addLayout(top);
    column->addLayout(bottom);

    state_ = AddLabel(*top, Stretch::Yes);
    counts_ = AddLabel(*top, Stretch::No);
    failure_ = AddLabel(*bottom, Stretch::Yes);
    warningIcon_ = AddLabel(*bottom, Stretch::No);
    const int iconSide = fontMetrics().height();
    warningIcon_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSide));
    notWritten_ = AddLabel(*bottom, Stretch::No);
    records_ = AddLabel(*bottom, Stretch::No);
    showProgress(CrawlProgress{});
    addWidget(rows, 1); // once filled, so that the bar's height makes room for both rows
}

void CrawlStatusBar::showProgress(const CrawlProgress& progress) {
    SetText(state_, StateText(progress));
    SetText(counts_, CountsText(progress));
    SetText(failure_, FailureText(progress.lastFailure));
    showNotWritten(progress.records.notWritten);
    SetText(records_,
            QStringLiteral("記録 %1 件: %2").arg(progress.records.written).arg(logFilePath_));
}

// Shown as a warning, in words beside the icon, only once a record is lost.
void CrawlStatusBar::showNotWritten(std::uint64_t count) {
    warningIcon_->setVisible(count > 0);
    notWritten_->setVisible(count > 0);
    if (count > 0)
        SetText(notWritten_, QStringLiteral("警告: 書き込めなかった記録 %1 件").arg(count));
}
