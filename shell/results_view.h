// The main window's results area: the results screen, drawn at the window's
// device pixel ratio and copied whole on every paint, white wherever the
// view is larger than the Canvas, and a focus mark when Tab brings the focus
// here. Assistive technology reads its lines as text and hears of each line
// added and each clear.
#pragma once

#include "display/results_screen.h"
#include "engine/crawler.h"

#include <QWidget>

class QPainter;

class ResultsView : public QWidget {
    Q_OBJECT

public:
    explicit ResultsView(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    const ResultsScreen& screen() const { return screen_; }

    // Shows a finished step's line, clearing the screen first when it says so.
    void showLine(const ResultsLine& line);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void paintFocusMark(QPainter& painter);

    ResultsScreen screen_;
};
