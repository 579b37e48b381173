// ResultsCellDelegate on QStyle: the cell's panel, selection and focus as the
// style draws an item without its text, then the text, elided to the cell's
// width as the style would elide it, from a QStaticText kept in a cache.
#include "shell/results_cell_delegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace torvesk::shell {

namespace {

QPalette::ColorGroup ColorGroupOf(const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

// Where a text of size starts in room: across to the fraction of a pixel, as
// the style lays a line out; down to the pixel, as the style aligns it.
QPointF TextOrigin(const QStyleOptionViewItem& option, QSizeF size, const QRect& room) {
    const Qt::Alignment alignment =
        QStyle::visualAlignment(option.direction, option.displayAlignment);
    const QRect rounded =
        QStyle::alignedRect(option.direction, option.displayAlignment, size.toSize(), room);
    qreal x = room.left();
    if (alignment & Qt::AlignRight)
        x += room.width() - size.width();
    else if (alignment & Qt::AlignHCenter)
        x += (room.width() - size.width()) / 2;
    return {x, qreal(rounded.top())};
}

} // namespace

void ResultsCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& given,
                                const QModelIndex& index) const {
    QStyleOptionViewItem option = given;
    initStyleOption(&option, index);
    const QString text = option.text;
    option.text.clear();
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &option, painter, widget);
    if (text.isEmpty())
        return;
    // The margins and the alignment the style gives an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect room = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget)
                           .adjusted(margin, 0, -margin, 0);
    if (room.width() <= 0)
        return;
    const QStaticText& shaped = laidOut(option, text, room.width());
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(ColorGroupOf(option), option.state & QStyle::State_Selected
                                                                   ? QPalette::HighlightedText
                                                                   : QPalette::Text));
    painter->setClipRect(room, Qt::IntersectClip);
    painter->drawStaticText(TextOrigin(option, shaped.size(), room), shaped);
    painter->restore();
}

const QStaticText& ResultsCellDelegate::laidOut(const QStyleOptionViewItem& option,
                                                const QString& text, int width) const {
    if (option.font != font_) {
        laidOut_.clear();
        font_ = option.font;
    }
    const Shape shape{text, width};
    if (const QStaticText* kept = laidOut_.object(shape))
        return *kept;
    auto* shaped =
        new QStaticText(QFontMetrics(option.font).elidedText(text, option.textElideMode, width));
    shaped->setTextFormat(Qt::PlainText);
    shaped->setPerformanceHint(QStaticText::AggressiveCaching);
    shaped->prepare(QTransform(), option.font);
    laidOut_.insert(shape, shaped);
    return *shaped;
}

} // namespace torvesk::shell
