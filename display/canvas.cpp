// The Canvas's back buffer, paint cycle, styles, text and shapes. Shapes
// follow the classic convention that a box covers left to right - 1 and top
// to bottom - 1; wide pens are centred on that outline with round ends.
// At any device pixel ratio a shape covers the logical pixels it covers at
// ratio 1, and text stays inside the rows of its cell.
#include "display/canvas.h"

#include "display/text_codec.h"
#include "display/text_font.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

namespace torvesk::display {

namespace {

int LowByte(int component) {
    return component & 0xff;
}

QPen SolidPen(int width, const QColor& color) {
    QPen pen(color);
    pen.setWidth(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QRectF ShapeBox(int left, int top, int right, int bottom) {
    const auto [x0, x1] = std::minmax(left, right);
    const auto [y0, y1] = std::minmax(top, bottom);
    return QRectF(QPointF(x0, y0), QPointF(x1 - 1.0, y1 - 1.0));
}

double UsableRatio(double ratio) {
    if (!(ratio > 0) || !std::isfinite(ratio))
        return 1.0;
    return std::clamp(ratio, 1.0 / kMaxDevicePixelRatio, kMaxDevicePixelRatio);
}

// The device pixels a logical length spans; 0 when it does not fit an int.
int DeviceLength(int logical, double ratio) {
    const double device = std::round(logical * ratio);
    return device <= INT_MAX ? static_cast<int>(device) : 0;
}

// A logical coordinate moved to the nearest edge between device pixels.
double OnDeviceEdge(double logical, double ratio) {
    return std::round(logical * ratio) / ratio;
}

} // namespace

void Canvas::Init(int w, int h, double ratio) {
    const double scale = UsableRatio(ratio);
    QImage image(DeviceLength(w, scale), DeviceLength(h, scale), QImage::Format_RGB32);
    if (image.isNull())
        return;
    image.setDevicePixelRatio(scale);
    image.fill(Qt::black);
    width = w;
    height = h;
    backBuffer = std::move(image);
}

void Canvas::Paint(QPainter& painter) const {
    painter.drawImage(QPointF(0, 0), backBuffer);
}

void Canvas::ClearBlack() {
    backBuffer.fill(Qt::black);
}

void Canvas::ClearWhite() {
    backBuffer.fill(Qt::white);
}

void Canvas::SetTextStyle(int textHeight, int r, int g, int b) {
    fontHeight = textHeight;
    textR = LowByte(r);
    textG = LowByte(g);
    textB = LowByte(b);
}

void Canvas::PutText(int x, int y, const char* text) {
    if (text)
        PutText(x, y, DecodeForScreen(text));
}

void Canvas::PutText(int x, int y, const QString& text) {
    if (backBuffer.isNull() || fontHeight < 1)
        return;
    QPainter painter(&backBuffer);
    painter.setFont(TextFont(fontHeight));
    painter.setPen(QColor(textR, textG, textB));
    // The cell's edges and the baseline on whole device pixels, the baseline
    // low enough that the tallest glyphs start inside the cell; the faint
    // fringes that antialiasing spills past the cell's bottom are cut. Cells
    // one below the other share the rounded edge between them, so at any
    // ratio their lines neither touch nor leave a gap.
    const double ratio = backBuffer.devicePixelRatio();
    const double top = OnDeviceEdge(y, ratio);
    const double bottom = OnDeviceEdge(static_cast<double>(y) + fontHeight, ratio);
    const double ascent = std::ceil(QFontMetricsF(painter.font()).ascent() * ratio) / ratio;
    painter.setClipRect(QRectF(0, top, width, bottom - top));
    painter.drawText(QPointF(x, top + ascent), text);
}

void Canvas::SetPen(int lineWidth, int r, int g, int b) {
    penWidth = std::clamp(lineWidth, 0, kMaxPenWidth);
    penR = LowByte(r);
    penG = LowByte(g);
    penB = LowByte(b);
}

void Canvas::SetBrush(int r, int g, int b) {
    brushR = LowByte(r);
    brushG = LowByte(g);
    brushB = LowByte(b);
}

// Runs draw with a painter on the back buffer holding the current pen, and
// the current brush when filled.
template <typename Draw> void Canvas::WithPen(bool filled, Draw draw) {
    if (backBuffer.isNull())
        return;
    QPainter painter(&backBuffer);
    // At ratio 1 the host's rounding of unsmoothed outlines puts a pen on
    // the pixel right of and below its coordinate; at other ratios the pen
    // is centred on that logical pixel, so it covers the same one.
    if (backBuffer.devicePixelRatio() != 1.0)
        painter.translate(0.5, 0.5);
    painter.setPen(SolidPen(penWidth, QColor(penR, penG, penB)));
    if (filled)
        painter.setBrush(QColor(brushR, brushG, brushB));
    draw(painter);
}

void Canvas::DrawRect(int left, int top, int right, int bottom) {
    WithPen(true, [&](QPainter& painter) { painter.drawRect(ShapeBox(left, top, right, bottom)); });
}

void Canvas::DrawEllipse(int left, int top, int right, int bottom) {
    WithPen(true,
            [&](QPainter& painter) { painter.drawEllipse(ShapeBox(left, top, right, bottom)); });
}

void Canvas::DrawLine(int x1, int y1, int x2, int y2) {
    WithPen(false, [&](QPainter& painter) { painter.drawLine(QPointF(x1, y1), QPointF(x2, y2)); });
}

} // namespace torvesk::display
