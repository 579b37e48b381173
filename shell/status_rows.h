// The status bar's two rows of labels, laid out by hand. A label whose text
// changes asks only these rows for room (a widget without a layout takes its
// children's layout requests itself); the rows ask the bar for a new layout
// only when they need another size, so the bar does not repaint all of
// itself for a changed number. A thin line parts neighbours, so that no two
// labels ever read as one.
#pragma once

#include <QWidget>

#include <array>
#include <vector>

namespace torvesk::shell {

class StatusRows : public QWidget {
public:
    // A label's place in its row: taking the room the others leave (and cut
    // off when there is too little), as wide as its text, or that wide and
    // right beside the one before, with no line between (a picture and the
    // words that go with it).
    enum class Place { Stretch, Fixed, BesidePrevious };

    explicit StatusRows(QWidget* parent = nullptr);

    // Makes a Label the last of row (0: top, 1: bottom).
    template <typename Label> Label* add(int row, Place place) {
        auto* label = new Label;
        addLabel(row, label, place);
        return label;
    }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Entry {
        QWidget* widget;
        Place place;
    };
    using Row = std::vector<Entry>;

    void addLabel(int row, QWidget* label, Place place);
    void arrange();
    void arrangeRow(const Row& row, int top, int height);
    QSize rowSize(const Row& row) const;
    int gapBefore(const Entry& entry) const;

    std::array<Row, 2> rows_;
    std::vector<QLine> partings_; // the lines between neighbours
    QSize shownHint_;             // the size hint the bar last laid out
};

} // namespace torvesk::shell
