// The results view's accessible interface: a QAccessibleWidget with a text
// interface over the lines on screen. There is no caret and no selection;
// character boxes come from the font the lines are drawn in.
#include "shell/results_view_accessible.h"

#include "display/text_codec.h"

#include <QAccessibleWidget>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

using namespace torvesk::display;

namespace torvesk::shell {

namespace {

// Where an offset of the spoken text falls: a line, and a column in it (the
// line's length for the line feed after it).
struct TextPlace {
    std::size_t line;
    int column;
};

std::optional<TextPlace> PlaceOf(const ResultsScreen& screen, int offset) {
    int lineStart = 0;
    for (std::size_t index = 0; index < screen.lines().size(); ++index) {
        const int length = static_cast<int>(screen.lines()[index].text.size());
        if (offset >= lineStart && offset <= lineStart + length)
            return TextPlace{index, offset - lineStart};
        lineStart += length + 1;
    }
    return std::nullopt;
}

int OffsetOf(const ResultsScreen& screen, TextPlace place) {
    int offset = place.column;
    for (std::size_t index = 0; index < place.line; ++index)
        offset += static_cast<int>(screen.lines()[index].text.size()) + 1;
    return offset;
}

class ResultsViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    ResultsViewAccessible(QWidget* view, const ResultsScreen& screen)
        : QAccessibleWidget(view, QAccessible::EditableText), screen_(screen) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }

    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}

    using QAccessibleWidget::text; // the name, beside the text's characters
    QString text(int startOffset, int endOffset) const override {
        return SpokenText(screen_).mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(SpokenText(screen_).size()); }
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;

private:
    const std::vector<double>& EdgesOf(const ShownLine& line) const;

    const ResultsScreen& screen_; // the view's, which outlives this
    // The character edges of the line asked about last: a screen reader
    // asks for the boxes of a line's characters one after the other.
    mutable QString edgesText_;
    mutable std::vector<double> edges_;
};

const std::vector<double>& ResultsViewAccessible::EdgesOf(const ShownLine& line) const {
    if (edges_.empty() || edgesText_ != line.text) {
        edges_ = CharacterEdges(line.text);
        edgesText_ = line.text;
    }
    return edges_;
}

QRect ResultsViewAccessible::characterRect(int offset) const {
    const std::optional<TextPlace> place = PlaceOf(screen_, offset);
    if (!place)
        return QRect();
    const ShownLine& line = screen_.lines()[place->line];
    const std::vector<double>& edges = EdgesOf(line);
    const auto column = static_cast<std::size_t>(place->column);
    const double right = column + 1 < edges.size() ? edges[column + 1] : edges[column];
    // Boxes on whole pixels that share their edges with their neighbours.
    const QRectF band = LineBox(line.row);
    const QPoint topLeft(qRound(edges[column]), qRound(band.top()));
    const QSize size(qRound(right) - topLeft.x(), qRound(band.height()));
    return QRect(widget()->mapToGlobal(topLeft), size);
}

int ResultsViewAccessible::offsetAtPoint(const QPoint& point) const {
    const QPointF local = widget()->mapFromGlobal(point);
    const std::vector<ShownLine>& lines = screen_.lines();
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const QRectF band = LineBox(lines[index].row);
        if (local.y() < band.top() || local.y() >= band.bottom())
            continue;
        const std::vector<double>& edges = EdgesOf(lines[index]);
        const auto after = std::upper_bound(edges.begin(), edges.end(), local.x());
        if (after == edges.begin() || after == edges.end())
            return -1;
        return OffsetOf(screen_, {index, static_cast<int>(after - edges.begin()) - 1});
    }
    return -1;
}

} // namespace

QAccessibleInterface* NewResultsAccessible(QWidget* view, const ResultsScreen& screen) {
    return new ResultsViewAccessible(view, screen);
}

QString SpokenText(const ResultsScreen& screen) {
    QStringList lines;
    for (const ShownLine& line : screen.lines())
        lines << OnOneLine(line.text);
    return lines.join(u'\n');
}

void AnnounceScreenCleared(QWidget& view, const ResultsScreen& screen) {
    if (!QAccessible::isActive())
        return;
    QAccessibleTextRemoveEvent event(&view, 0, SpokenText(screen));
    QAccessible::updateAccessibility(&event);
}

void AnnounceLineAdded(QWidget& view, const ResultsScreen& screen) {
    if (!QAccessible::isActive() || screen.lines().empty())
        return;
    const QString text = SpokenText(screen);
    const QString line = OnOneLine(screen.lines().back().text);
    const qsizetype at = screen.lines().size() > 1 ? text.size() - line.size() - 1 : 0;
    QAccessibleTextInsertEvent event(&view, static_cast<int>(at), text.mid(at));
    QAccessible::updateAccessibility(&event);
}

} // namespace torvesk::shell
