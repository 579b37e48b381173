// The Canvas's buffer, paint cycle, colours and shapes.
#include "canvas_fixture.h"
#include "paint.h"
#include "window_base.h"

#include <QPainter>
#include <climits>

namespace {

// A window that paints into an image and counts repaint requests.
struct FakeWindow : PlatformWindow {
    void requestRepaint() override { ++repaintRequests; }
    int repaintRequests = 0;
};

bool AllPixelsAre(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

TEST_F(CanvasTest, FreshBufferIsBlackAndClearsFillIt) {
    EXPECT_EQ(Buffer().size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(AllPixelsAre(Buffer(), kBlack));
    g_canvas.ClearWhite();
    EXPECT_TRUE(AllPixelsAre(Buffer(), kWhite));
    g_canvas.ClearBlack();
    EXPECT_TRUE(AllPixelsAre(Buffer(), kBlack));
}

TEST_F(CanvasTest, InitWithImpossibleSizeKeepsTheBuffer) {
    g_canvas.ClearWhite();
    g_canvas.Init(nullptr, 0, 10);
    g_canvas.Init(nullptr, -5, -5);
    ASSERT_NE(g_canvas.BackBuffer(), nullptr);
    EXPECT_EQ(Buffer().size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(AllPixelsAre(Buffer(), kWhite));
}

TEST(CanvasBeforeInit, EveryCallIsHarmless) {
    Canvas canvas;
    FakeWindow window;
    QImage screen(8, 8, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter painter(&screen);
    window.activePainter = &painter;
    canvas.Paint(&window);
    canvas.ClearBlack();
    canvas.PutText(0, 0, "text");
    canvas.DrawRect(0, 0, 5, 5);
    canvas.DrawEllipse(0, 0, 5, 5);
    canvas.DrawLine(0, 0, 5, 5);
    canvas.DrawGrid(0, 0, 5, 5, 2, 2);
    canvas.DrawSprite(&window, 0, 0, "missing.bmp", "missing.bmp", 4, 4);
    painter.end();
    EXPECT_EQ(canvas.BackBuffer(), nullptr);
    EXPECT_TRUE(AllPixelsAre(screen, kWhite));
}

TEST_F(CanvasTest, ColourComponentsKeepTheirLowEightBits) {
    g_canvas.SetPen(1, 256, 255, 256);
    g_canvas.SetBrush(256, 511, -256);
    g_canvas.DrawRect(10, 10, 20, 20);
    EXPECT_EQ(Pixel(10, 10), kGreen);
    EXPECT_EQ(Pixel(15, 15), kGreen);
}

TEST_F(CanvasTest, RectangleIsOutlinedByThePenAndFilledByTheBrush) {
    g_canvas.SetPen(1, 0, 0, 255);
    g_canvas.SetBrush(0, 255, 0);
    g_canvas.DrawRect(10, 10, 30, 20);
    // The box covers 10..29 across and 10..19 down.
    for (auto [x, y] : {std::pair{10, 10}, {29, 10}, {10, 19}, {29, 19}, {20, 10}, {10, 15}})
        EXPECT_EQ(Pixel(x, y), kBlue) << "outline at " << x << "," << y;
    for (auto [x, y] : {std::pair{11, 11}, {20, 15}, {28, 18}})
        EXPECT_EQ(Pixel(x, y), kGreen) << "fill at " << x << "," << y;
    for (auto [x, y] : {std::pair{9, 15}, {30, 15}, {20, 9}, {20, 20}, {30, 20}})
        EXPECT_EQ(Pixel(x, y), kBlack) << "outside at " << x << "," << y;
}

TEST_F(CanvasTest, EllipseFillsItsMiddleAndLeavesTheCorners) {
    g_canvas.SetPen(1, 0, 0, 255);
    g_canvas.SetBrush(0, 255, 0);
    g_canvas.DrawEllipse(10, 10, 41, 31);
    EXPECT_EQ(Pixel(25, 20), kGreen);
    EXPECT_EQ(Pixel(10, 20), kBlue);
    EXPECT_EQ(Pixel(25, 10), kBlue);
    EXPECT_EQ(Pixel(11, 11), kBlack);
    EXPECT_EQ(Pixel(39, 29), kBlack);
}

TEST_F(CanvasTest, LineIsAsWideAsThePen) {
    g_canvas.SetPen(5, 255, 0, 0);
    g_canvas.DrawLine(10, 20, 60, 20);
    for (int y = 18; y <= 22; ++y)
        EXPECT_EQ(Pixel(30, y), kRed) << "y " << y;
    EXPECT_EQ(Pixel(30, 16), kBlack);
    EXPECT_EQ(Pixel(30, 24), kBlack);
}

TEST_F(CanvasTest, ShapesFarBeyondTheBufferAreClipped) {
    g_canvas.SetPen(kMaxPenWidth + 1, 0, 0, 255);
    g_canvas.SetBrush(0, 255, 0);
    g_canvas.DrawRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_TRUE(AllPixelsAre(Buffer(), kGreen));
    g_canvas.DrawEllipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    g_canvas.DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), kBlue);
}

TEST_F(CanvasTest, PaintCopiesTheWholeBufferPixelForPixelAtTheOrigin) {
    g_canvas.SetPen(1, 0, 0, 255);
    g_canvas.SetBrush(0, 255, 0);
    g_canvas.DrawEllipse(5, 5, 70, 40);
    g_canvas.PutText(2, 2, "Paint");
    QImage screen(kWidth + 20, kHeight + 10, QImage::Format_RGB32);
    screen.fill(Qt::white); // the window's background
    FakeWindow window;
    QPainter painter(&screen);
    window.activePainter = &painter;
    g_canvas.Paint(&window);
    painter.end();
    EXPECT_EQ(screen.copy(0, 0, kWidth, kHeight), Buffer());
    EXPECT_TRUE(AllPixelsAre(screen.copy(kWidth, 0, 20, kHeight + 10), kWhite));
    EXPECT_TRUE(AllPixelsAre(screen.copy(0, kHeight, kWidth, 10), kWhite));
}

TEST_F(CanvasTest, PaintOutsideAPaintEventDrawsNothing) {
    FakeWindow window;
    g_canvas.Paint(&window);
    g_canvas.Paint(nullptr);
    PAINTSTRUCT paint;
    EXPECT_EQ(BeginPaint(&window, &paint), nullptr);
    EXPECT_EQ(paint.hdc, nullptr);
    EndPaint(&window, &paint);
}

TEST_F(CanvasTest, InvalidateAsksTheWindowForOneRepaint) {
    FakeWindow window;
    g_canvas.Invalidate(&window);
    EXPECT_EQ(window.repaintRequests, 1);
    g_canvas.Invalidate(nullptr);
}
