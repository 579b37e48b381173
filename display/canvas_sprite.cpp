// Masked pictures: a mask (white where the picture is, black elsewhere) is
// ORed onto the back buffer, then the picture (on white) is ANDed over it,
// so the buffer shows through wherever the mask is black.
#include "display/canvas.h"

#include <QImage>
#include <QPainter>
#include <QString>

namespace torvesk::display {

namespace {

// A bitmap file as opaque 32-bit pixels, so the bitwise operations never
// touch an alpha channel; null when the file does not load.
QImage LoadBitmap(const char* path) {
    QImage image(QString::fromLocal8Bit(path));
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

void Canvas::DrawSprite(int x, int y, const char* imageFile, const char* maskFile, int w, int h) {
    if (backBuffer.isNull() || !imageFile || !maskFile || w < 1 || h < 1)
        return;
    const QImage image = LoadBitmap(imageFile);
    const QImage mask = LoadBitmap(maskFile);
    if (image.isNull() || mask.isNull())
        return;
    // The painter scales while it draws (nearest pixel), so a huge w x h
    // costs no memory beyond the buffer.
    const QRectF target(x, y, w, h);
    QPainter painter(&backBuffer);
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(target, mask);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(target, image);
}

} // namespace torvesk::display
