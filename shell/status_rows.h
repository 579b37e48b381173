// The status bar's two rows of labels, laid out by hand. A label whose text
// changes asks only these rows for room (a widget without a layout takes its
// children's layout requests itself); the rows ask the bar for a new layout
// only when they need another size, so the bar does not repaint all of
// itself for a changed number.
#pragma once

#include <QWidget>

#include <array>
#include <vector>

class StatusRows : public QWidget {
public:
    enum class Stretch { No, Yes };

    explicit StatusRows(QWidget* parent = nullptr);

    // Makes a Label the last of row (0: top, 1: bottom); one that stretches
    // takes the room the others leave and may be cut off.
    template <typename Label> Label* add(int row, Stretch stretch) {
        auto* label = new Label;
        place(row, label, stretch);
        return label;
    }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Entry {
        QWidget* widget;
        Stretch stretch;
    };
    using Row = std::vector<Entry>;

    void place(int row, QWidget* label, Stretch stretch);
    void arrange();
    void arrangeRow(const Row& row, int top, int height);
    QSize rowSize(const Row& row) const;
    int gap() const;

    std::array<Row, 2> rows_;
    QSize shownHint_; // the size hint the bar last laid out
};
