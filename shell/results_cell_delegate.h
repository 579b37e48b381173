// ResultsCellDelegate: the results table's cells drawn as the style draws
// them, with each text laid out once and kept while it is on screen, so that
// a redraw of a table that follows its newest row lays out only the rows
// that came into view.
#pragma once

#include <QCache>
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QString>
#include <QStyledItemDelegate>

namespace torvesk::shell {

class ResultsCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    // A text as laid out in a width; the same text in two cells is one.
    struct Shape {
        QString text;
        int width = 0;
        bool operator==(const Shape& other) const = default;
        friend size_t qHash(const Shape& shape, size_t seed = 0) {
            return qHashMulti(seed, shape.text, shape.width);
        }
    };

    const QStaticText& laidOut(const QStyleOptionViewItem& option, const QString& text,
                               int width) const;

    // Rows of a few screens, of every column.
    static constexpr int kKeptTexts = 4096;
    mutable QCache<Shape, QStaticText> laidOut_{kKeptTexts};
    mutable QFont font_; // the texts kept were laid out in it
};

} // namespace torvesk::shell
