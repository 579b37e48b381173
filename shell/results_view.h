// The main window's client area: the Canvas copied whole on every paint,
// white wherever the window is larger than the Canvas.
#pragma once

#include <QWidget>

class Canvas;

class ResultsView : public QWidget {
    Q_OBJECT

public:
    ResultsView(const Canvas& canvas, QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Canvas& canvas_;
};
