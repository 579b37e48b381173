// The results screen on the Canvas: one yellow line of 8-pixel text per
// visited page, 8 pixels apart from y = 10, the screen cleared to black
// before a line that starts it again at the top. It keeps the lines shown
// since the last clear, to draw them again at another device pixel ratio
// and to tell what the screen shows.
#pragma once

#include "display/canvas.h"

#include <QRectF>
#include <QString>

#include <vector>

namespace torvesk::display {

constexpr int kResultsTextHeight = 8;
constexpr int kResultsMargin = 10;

// A line on the screen: its row and its text as the screen decodes it.
struct ShownLine {
    int row;
    QString text;
};

class ResultsScreen {
public:
    // A black screen of kCanvasWidth x kCanvasHeight at ratio 1.
    ResultsScreen();

    // Draws text on row, clearing the screen first when clearsScreen.
    void ShowLine(int row, bool clearsScreen, const char* text);
    // Draws the same lines anew at ratio device pixels per logical pixel;
    // nothing to do when the screen was last asked for that ratio.
    void SetDevicePixelRatio(double ratio);

    const Canvas& canvas() const { return canvas_; }
    // The lines drawn since the last clear, in the order drawn: top to
    // bottom, since rows only grow between clears.
    const std::vector<ShownLine>& lines() const { return lines_; }

private:
    void Draw(const ShownLine& line);

    Canvas canvas_;
    std::vector<ShownLine> lines_;
    double ratio_ = 1.0;
};

// The band of the screen that row's text is drawn in.
QRectF LineBox(int row);
// Where each character boundary of a line's text lies across the screen:
// text.size() + 1 x coordinates, the first at the left margin.
std::vector<double> CharacterEdges(const QString& text);

} // namespace torvesk::display
