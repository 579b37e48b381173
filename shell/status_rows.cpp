// Each row: its labels from the left at their own widths, the stretching one
// given what is left; the rows as high as their highest visible label.
#include "shell/status_rows.h"

#include <QEvent>
#include <QStyle>

#include <algorithm>

StatusRows::StatusRows(QWidget* parent) : QWidget(parent) {}

void StatusRows::place(int row, QWidget* label, Stretch stretch) {
    if (stretch == Stretch::Yes)
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setParent(this);
    rows_.at(static_cast<std::size_t>(row)).push_back({label, stretch});
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

void StatusRows::arrange() {
    const int topHeight = rowSize(rows_[0]).height();
    arrangeRow(rows_[0], 0, topHeight);
    arrangeRow(rows_[1], topHeight, rowSize(rows_[1]).height());
}

void StatusRows::arrangeRow(const Row& row, int top, int height) {
    const int others = rowSize(row).width();
    int x = 0;
    for (const Entry& entry : row) {
        if (!entry.widget->isVisibleTo(this))
            continue;
        const int width = entry.stretch == Stretch::Yes ? std::max(0, this->width() - others)
                                                        : entry.widget->sizeHint().width();
        entry.widget->setGeometry(x, top, width, height);
        x += width + gap();
    }
}

// The room the visible labels ask for, a stretching one counting nothing.
QSize StatusRows::rowSize(const Row& row) const {
    int width = 0;
    int height = 0;
    int shown = 0;
    for (const Entry& entry : row) {
        if (!entry.widget->isVisibleTo(this))
            continue;
        const QSize hint = entry.widget->sizeHint();
        if (entry.stretch == Stretch::No)
            width += hint.width();
        height = std::max(height, hint.height());
        ++shown;
    }
    return {width + std::max(0, shown - 1) * gap(), height};
}

int StatusRows::gap() const {
    return std::max(0, style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this));
}
