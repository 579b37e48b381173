// Each row: its labels from the left at their own widths, the stretching one
// given what is left, a line in the gap between neighbours; the rows as high
// as their highest visible label.
#include "shell/status_rows.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <utility>

namespace torvesk::shell {

StatusRows::StatusRows(QWidget* parent) : QWidget(parent) {}

void StatusRows::addLabel(int row, QWidget* label, Place place) {
    if (place == Place::Stretch)
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setParent(this);
    rows_.at(static_cast<std::size_t>(row)).push_back({label, place});
}

QSize StatusRows::sizeHint() const {
    const QSize top = rowSize(rows_[0]);
    const QSize bottom = rowSize(rows_[1]);
    return {std::max(top.width(), bottom.width()), top.height() + bottom.height()};
}

// As narrow as the bar allows: a long address never widens the window.
QSize StatusRows::minimumSizeHint() const {
    return {1, sizeHint().height()};
}

// A child's new text, its appearing or its hiding arrives here as a layout
// request; the bar hears of it only when the rows' own size hint changes.
bool StatusRows::event(QEvent* event) {
    if (event->type() != QEvent::LayoutRequest)
        return QWidget::event(event);
    arrange();
    if (sizeHint() != shownHint_) {
        shownHint_ = sizeHint();
        updateGeometry();
    }
    return true;
}

void StatusRows::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void StatusRows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLines(partings_.data(), static_cast<int>(partings_.size()));
}

// The lines are painted anew only when they moved.
void StatusRows::arrange() {
    const std::vector<QLine> before = std::exchange(partings_, {});
    const int topHeight = rowSize(rows_[0]).height();
    arrangeRow(rows_[0], 0, topHeight);
    arrangeRow(rows_[1], topHeight, rowSize(rows_[1]).height());
    if (partings_ != before)
        update();
}

void StatusRows::arrangeRow(const Row& row, int top, int height) {
    const int others = rowSize(row).width();
    int x = 0;
    bool first = true;
    for (const Entry& entry : row) {
        if (!entry.widget->isVisibleTo(this))
            continue;
        if (!first) {
            const int gap = gapBefore(entry);
            if (entry.place != Place::BesidePrevious)
                partings_.emplace_back(x + gap / 2, top + 2, x + gap / 2, top + height - 3);
            x += gap;
        }
        first = false;
        const int width = entry.place == Place::Stretch ? std::max(0, this->width() - others)
                                                        : entry.widget->sizeHint().width();
        entry.widget->setGeometry(x, top, width, height);
        x += width;
    }
}

// The room the visible labels ask for, a stretching one counting nothing.
QSize StatusRows::rowSize(const Row& row) const {
    int width = 0;
    int height = 0;
    bool first = true;
    for (const Entry& entry : row) {
        if (!entry.widget->isVisibleTo(this))
            continue;
        const QSize hint = entry.widget->sizeHint();
        width +=
            (first ? 0 : gapBefore(entry)) + (entry.place == Place::Stretch ? 0 : hint.width());
        height = std::max(height, hint.height());
        first = false;
    }
    return {width, height};
}

// The style's spacing beside a picture's words; three times that, with the
// line in its middle, between labels.
int StatusRows::gapBefore(const Entry& entry) const {
    const int spacing =
        std::max(1, style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this));
    return entry.place == Place::BesidePrevious ? spacing : 3 * spacing;
}

} // namespace torvesk::shell
