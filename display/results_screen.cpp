// Drawing the results lines, keeping them, and drawing them again.
#include "display/results_screen.h"

#include "display/text_codec.h"
#include "display/text_font.h"

#include <QTextLayout>

namespace torvesk::display {

namespace {

int LineTop(int row) {
    return row * kResultsTextHeight + kResultsMargin;
}

} // namespace

ResultsScreen::ResultsScreen() {
    canvas_.Init(kCanvasWidth, kCanvasHeight);
}

void ResultsScreen::ShowLine(int row, bool clearsScreen, const char* text) {
    if (clearsScreen) {
        canvas_.ClearBlack();
        lines_.clear();
    }
    lines_.push_back({row, DecodeForScreen(text ? text : "")});
    Draw(lines_.back());
}

void ResultsScreen::SetDevicePixelRatio(double ratio) {
    if (ratio == ratio_)
        return;
    ratio_ = ratio;
    canvas_.Init(kCanvasWidth, kCanvasHeight, ratio);
    // Cleared again for a buffer too large to make, which stays as it was.
    canvas_.ClearBlack();
    for (const ShownLine& line : lines_)
        Draw(line);
}

void ResultsScreen::Draw(const ShownLine& line) {
    canvas_.SetTextStyle(kResultsTextHeight, 255, 255, 0);
    canvas_.PutText(kResultsMargin, LineTop(line.row), line.text);
}

QRectF LineBox(int row) {
    return QRectF(0, LineTop(row), kCanvasWidth, kResultsTextHeight);
}

std::vector<double> CharacterEdges(const QString& text) {
    QTextLayout layout(text, TextFont(kResultsTextHeight));
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    std::vector<double> edges;
    edges.reserve(static_cast<std::size_t>(text.size()) + 1);
    for (qsizetype at = 0; at <= text.size(); ++at)
        edges.push_back(kResultsMargin + line.cursorToX(static_cast<int>(at)));
    return edges;
}

} // namespace torvesk::display
