// The Canvas: a 1200 x 800 off-screen back buffer with text, clear, shape,
// grid and sprite drawing, copied whole to its window on every paint.
// Coordinates are logical pixels; the buffer holds ratio device pixels for
// each, so a high-resolution display gets text and shapes drawn at its own
// resolution. Display code never includes Qt Widgets.
#pragma once

#include <QImage>
#include <QString>
class QPainter;

namespace torvesk::display {

constexpr int kCanvasWidth = 1200;
constexpr int kCanvasHeight = 800;
// The widest pen the host draws; wider pens are drawn at this width.
constexpr int kMaxPenWidth = 32767;
// Device pixel ratios outside [1 / kMax, kMax] are drawn at the nearest end.
constexpr double kMaxDevicePixelRatio = 4.0;

class Canvas {
public:
    // The back buffer is made w x h logical pixels of ratio x ratio device
    // pixels each, and black; a size the host cannot allocate leaves the
    // Canvas as it was. A ratio that is not a positive number counts as 1.
    void Init(int w, int h, double ratio = 1.0);
    // Copies the whole back buffer to the painter's device at (0, 0); where
    // the device has the buffer's ratio, pixel for pixel.
    void Paint(QPainter& painter) const;
    void ClearBlack();
    void ClearWhite();
    void SetTextStyle(int textHeight, int r, int g, int b);
    void PutText(int x, int y, const char* text);
    // The same for text already decoded for the screen.
    void PutText(int x, int y, const QString& text);
    void SetPen(int lineWidth, int r, int g, int b);
    void SetBrush(int r, int g, int b);
    void DrawRect(int left, int top, int right, int bottom);
    void DrawEllipse(int left, int top, int right, int bottom);
    void DrawLine(int x1, int y1, int x2, int y2);
    void DrawGrid(int left, int top, int right, int bottom, int rows, int cols);
    int HitTest(int left, int top, int right, int bottom, int x, int y);
    void CellAt(int left, int top, int right, int bottom, int rows, int cols, int x, int y);
    void CellRect(int left, int top, int right, int bottom, int rows, int cols, int row,
                  int column);
    void DrawSprite(int x, int y, const char* imageFile, const char* maskFile, int w, int h);

    // The back buffer (a null image before Init), ratio x size device pixels.
    const QImage& BackBuffer() const { return backBuffer; }

    // Results of CellAt (column, row) and CellRect (left, top, right, bottom);
    // ans is the product's own name, kept.
    int ans[4] = {0, 0, 0, 0};

private:
    template <typename Draw> void WithPen(bool filled, Draw draw);

    QImage backBuffer;
    int width = kCanvasWidth;
    int height = kCanvasHeight;
    // Colour components are kept as their low 8 bits.
    int textR = 255, textG = 0, textB = 0;
    int fontHeight = 15;
    int penR = 255, penG = 0, penB = 0;
    int penWidth = 1;
    int brushR = 255, brushG = 0, brushB = 0;
};

} // namespace torvesk::display
