// The main window's results area: the results screen, drawn at the window's
// device pixel ratio and copied whole on every paint, white wherever the
// view is larger than the Canvas, and a focus mark when Tab brings the focus
// here. Assistive technology reads its lines as text and hears of each line
// added and each clear. It can be zoomed from 100 % to 300 %.
#pragma once

#include "display/results_screen.h"
#include "engine/crawler.h"

#include <QWidget>
class QPainter;

namespace torvesk::shell {

// The results screen's zoom, in percent of its own size.
constexpr int kMinZoomPercent = 100;
constexpr int kMaxZoomPercent = 300;
constexpr int kZoomStepPercent = 25;

class ResultsView : public QWidget {
    Q_OBJECT

public:
    explicit ResultsView(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    const display::ResultsScreen& screen() const { return screen_; }

    // Shows a finished step's line, clearing the screen first when it says so.
    void showLine(const engine::ResultsLine& line);
    // Draws the screen at percent of its size (bounded to the zoom's range),
    // as sharp as at that device pixel ratio.
    void setZoom(int percent);
    int zoom() const { return zoomPercent_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void paintFocusMark(QPainter& painter);

    QSize zoomedSize() const;

    display::ResultsScreen screen_;
    int zoomPercent_ = kMinZoomPercent;
};

} // namespace torvesk::shell
