// Painting the results screen.
#include "shell/results_view.h"

#include "display/canvas.h"

#include <QPainter>

ResultsView::ResultsView(const Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted below
}

QSize ResultsView::sizeHint() const {
    return QSize(kCanvasWidth, kCanvasHeight);
}

void ResultsView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    canvas_.Paint(painter);
}
