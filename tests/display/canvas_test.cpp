// The Canvas's buffer, paint cycle, colours and shapes; the buffer and
// shapes at every device pixel ratio.
#include "display/canvas_fixture.h"

#include <QPainter>
#include <climits>
#include <limits>

using namespace torvesk::display;

namespace {

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
    canvas.ClearWhite();
    EXPECT_TRUE(AllPixelsAre(Buffer(), kWhite));
    canvas.ClearBlack();
    EXPECT_TRUE(AllPixelsAre(Buffer(), kBlack));
}

TEST_F(CanvasTest, InitWithImpossibleSizeKeepsTheBuffer) {
    canvas.ClearWhite();
    canvas.Init(0, 10);
    canvas.Init(-5, -5);
    EXPECT_EQ(Buffer().size(), QSize(kWidth, kHeight));
    EXPECT_TRUE(AllPixelsAre(Buffer(), kWhite));
}

TEST(CanvasBeforeInit, EveryCallIsHarmless) {
    Canvas canvas;
    QImage screen(8, 8, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter painter(&screen);
    canvas.Paint(painter);
    canvas.ClearBlack();
    canvas.PutText(0, 0, "text");
    canvas.DrawRect(0, 0, 5, 5);
    canvas.DrawEllipse(0, 0, 5, 5);
    canvas.DrawLine(0, 0, 5, 5);
    canvas.DrawGrid(0, 0, 5, 5, 2, 2);
    canvas.DrawSprite(0, 0, "missing.bmp", "missing.bmp", 4, 4);
    painter.end();
    EXPECT_TRUE(canvas.BackBuffer().isNull());
    EXPECT_TRUE(AllPixelsAre(screen, kWhite));
}

TEST_F(CanvasTest, ColourComponentsKeepTheirLowEightBits) {
    canvas.SetPen(1, 256, 255, 256);
    canvas.SetBrush(256, 511, -256);
    canvas.DrawRect(10, 10, 20, 20);
    EXPECT_EQ(Pixel(10, 10), kGreen);
    EXPECT_EQ(Pixel(15, 15), kGreen);
}

TEST_P(CanvasAtRatio, RectangleIsOutlinedByThePenAndFilledByTheBrush) {
    canvas.SetPen(1, 0, 0, 255);
    canvas.SetBrush(0, 255, 0);
    canvas.DrawRect(10, 10, 30, 20);
    // The box covers 10..29 across and 10..19 down.
    for (auto [x, y] : {std::pair{10, 10}, {29, 10}, {10, 19}, {29, 19}, {20, 10}, {10, 15}})
        EXPECT_EQ(Pixel(x, y), kBlue) << "outline at " << x << "," << y;
    for (auto [x, y] : {std::pair{11, 11}, {20, 15}, {28, 18}})
        EXPECT_EQ(Pixel(x, y), kGreen) << "fill at " << x << "," << y;
    for (auto [x, y] : {std::pair{9, 15}, {30, 15}, {20, 9}, {20, 20}, {30, 20}})
        EXPECT_EQ(Pixel(x, y), kBlack) << "outside at " << x << "," << y;
}

TEST_F(CanvasTest, EllipseFillsItsMiddleAndLeavesTheCorners) {
    canvas.SetPen(1, 0, 0, 255);
    canvas.SetBrush(0, 255, 0);
    canvas.DrawEllipse(10, 10, 41, 31);
    EXPECT_EQ(Pixel(25, 20), kGreen);
    EXPECT_EQ(Pixel(10, 20), kBlue);
    EXPECT_EQ(Pixel(25, 10), kBlue);
    EXPECT_EQ(Pixel(11, 11), kBlack);
    EXPECT_EQ(Pixel(39, 29), kBlack);
}

TEST_P(CanvasAtRatio, LineIsAsWideAsThePen) {
    canvas.SetPen(5, 255, 0, 0);
    canvas.DrawLine(10, 20, 60, 20);
    for (int y = 18; y <= 22; ++y)
        EXPECT_EQ(Pixel(30, y), kRed) << "y " << y;
    EXPECT_EQ(Pixel(30, 16), kBlack);
    EXPECT_EQ(Pixel(30, 24), kBlack);
}

TEST_F(CanvasTest, ShapesFarBeyondTheBufferAreClipped) {
    canvas.SetPen(kMaxPenWidth + 1, 0, 0, 255);
    canvas.SetBrush(0, 255, 0);
    canvas.DrawRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_TRUE(AllPixelsAre(Buffer(), kGreen));
    canvas.DrawEllipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    canvas.DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), kBlue);
}

TEST_F(CanvasTest, PaintCopiesTheWholeBufferPixelForPixelAtTheOrigin) {
    canvas.SetPen(1, 0, 0, 255);
    canvas.SetBrush(0, 255, 0);
    canvas.DrawEllipse(5, 5, 70, 40);
    canvas.PutText(2, 2, "Paint");
    QImage screen(kWidth + 20, kHeight + 10, QImage::Format_RGB32);
    screen.fill(Qt::white); // the window's background
    QPainter painter(&screen);
    canvas.Paint(painter);
    painter.end();
    EXPECT_EQ(screen.copy(0, 0, kWidth, kHeight), Buffer());
    EXPECT_TRUE(AllPixelsAre(screen.copy(kWidth, 0, 20, kHeight + 10), kWhite));
    EXPECT_TRUE(AllPixelsAre(screen.copy(0, kHeight, kWidth, 10), kWhite));
}

TEST(CanvasRatio, BufferHoldsTheRatioInDevicePixelsAndStartsBlack) {
    for (double ratio : kDisplayRatios) {
        Canvas canvas;
        canvas.Init(80, 48, ratio);
        EXPECT_EQ(canvas.BackBuffer().devicePixelRatio(), ratio);
        EXPECT_EQ(canvas.BackBuffer().size(), QSize(qRound(80 * ratio), qRound(48 * ratio)));
        EXPECT_TRUE(AllPixelsAre(canvas.BackBuffer(), kBlack)) << "ratio " << ratio;
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    for (auto [asked, used] : {std::pair{0.0, 1.0},
                               {-2.0, 1.0},
                               {nan, 1.0},
                               {infinity, 1.0},
                               {100.0, kMaxDevicePixelRatio},
                               {1e-9, 1 / kMaxDevicePixelRatio}}) {
        Canvas canvas;
        canvas.Init(80, 48, asked);
        EXPECT_EQ(canvas.BackBuffer().devicePixelRatio(), used) << "asked " << asked;
    }
    Canvas canvas;
    canvas.Init(80, 48);
    canvas.Init(INT_MAX / 2, 48, 3);
    EXPECT_EQ(canvas.BackBuffer().size(), QSize(80, 48));
}

INSTANTIATE_TEST_SUITE_P(DisplayRatios, CanvasAtRatio, ::testing::ValuesIn(kDisplayRatios));
