// Canvas::PutText: placement in its cell, colour, transparency, clipping,
// the font, code page 932 and UTF-8 text.
#include "display/canvas_fixture.h"
#include "display/text_font.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

using namespace torvesk::display;

namespace {

// "スタートページ" (start page) in code page 932.
const char kStartPage[] = "\x83\x58\x83\x5e\x81\x5b\x83\x67\x83\x79\x81\x5b\x83\x57";

// Antialiased ink blends into the background: every channel lies between.
bool IsBlend(QRgb pixel, QRgb background, QRgb ink) {
    for (int shift : {0, 8, 16}) {
        const int value = (pixel >> shift) & 0xff;
        const int from = (background >> shift) & 0xff, to = (ink >> shift) & 0xff;
        if (value < std::min(from, to) || value > std::max(from, to))
            return false;
    }
    return true;
}

// Text at (x, y) of the given cell height, at most a full em per byte wide:
// counts the device pixels it changed, and fails the test for a changed
// pixel outside the device rows and columns of that box or one that is no
// blend of background and ink.
int CountInk(const QImage& image, int x, int y, const char* text, int height, QRgb background,
             QRgb ink) {
    const double ratio = image.devicePixelRatio();
    const int left = static_cast<int>(std::floor(x * ratio));
    const int right =
        static_cast<int>(std::ceil((x + static_cast<double>(std::strlen(text)) * height) * ratio));
    const int top = qRound(y * ratio), bottom = qRound((y + height) * ratio);
    int changed = 0;
    for (int py = 0; py < image.height(); ++py)
        for (int px = 0; px < image.width(); ++px) {
            const QRgb pixel = image.pixel(px, py);
            if (pixel == background)
                continue;
            ++changed;
            const bool inside = left <= px && px < right && top <= py && py < bottom;
            EXPECT_TRUE(inside && IsBlend(pixel, background, ink))
                << "pixel " << px << "," << py << " is " << std::hex << pixel;
        }
    return changed;
}

} // namespace

TEST_F(CanvasTest, TextStaysInItsCellAndKeepsTheBackground) {
    // Tall and deep glyphs: "|[jg概ジ", then a byte that draws a replacement mark.
    const char text[] = "|[jg\x8a\x54\x83\x57\xff";
    for (QRgb background : {kBlack, kWhite})
        for (int height : {8, 9, 12, 15, 24, 31}) {
            SCOPED_TRACE(testing::Message() << "height " << height << " on " << background);
            background == kBlack ? canvas.ClearBlack() : canvas.ClearWhite();
            canvas.SetTextStyle(height, 255, 255, 0);
            canvas.PutText(10, 10, text);
            EXPECT_GT(CountInk(Buffer(), 10, 10, text, height, background, kYellow), height * 3);
        }
}

TEST_F(CanvasTest, TextColourKeepsItsLowEightBits) {
    canvas.SetTextStyle(8, 256 + 255, -1, 256);
    canvas.PutText(10, 10, "Hello");
    EXPECT_GT(CountInk(Buffer(), 10, 10, "Hello", 8, kBlack, kYellow), 10);
}

TEST_F(CanvasTest, TextPastTheEdgeIsClippedAndOddHeightsDrawNothing) {
    canvas.SetTextStyle(20, 255, 255, 0);
    canvas.PutText(kWidth - 12, kHeight - 10, "WWWWWWWWWWWWWWWWWWWWWWWW");
    EXPECT_GT(CountInk(Buffer(), kWidth - 12, kHeight - 10, "WWWWWWWWWWWWWWWWWWWWWWWW", 20, kBlack,
                       kYellow),
              0);
    canvas.ClearBlack();
    canvas.PutText(INT_MIN, INT_MAX, "W");
    for (int height : {0, -8, INT_MIN}) {
        canvas.SetTextStyle(height, 255, 255, 0);
        canvas.PutText(10, 10, "Hello");
    }
    EXPECT_EQ(CountInk(Buffer(), 0, 0, "", 0, kBlack, kYellow), 0);
}

TEST_F(CanvasTest, JapaneseTextDrawsDistinctGlyphs) {
    canvas.SetTextStyle(16, 255, 255, 0);
    canvas.PutText(0, 0, kStartPage);
    EXPECT_GT(CountInk(Buffer(), 0, 0, kStartPage, 16, kBlack, kYellow), 100);
    // Missing glyphs would all be the same box: "ス" and "タ" must differ.
    EXPECT_NE(Buffer().copy(0, 0, 16, 16), Buffer().copy(16, 0, 16, 16));
}

TEST_F(CanvasTest, Utf8TextDrawsLikeTheSameTextInCodePage932) {
    canvas.SetTextStyle(16, 255, 255, 0);
    canvas.PutText(0, 0, kStartPage);
    const QImage fromCp932 = Buffer().copy();
    canvas.ClearBlack();
    canvas.PutText(0, 0, "スタートページ");
    EXPECT_EQ(Buffer(), fromCp932);
}

TEST(TextFont, IsAJapaneseGothicWhoseCellIsTheRequestedHeight) {
    const QString family = QFontInfo(TextFont(8)).family();
    EXPECT_TRUE(family == QString::fromUtf8("ＭＳ ゴシック") || family == "IPAGothic")
        << family.toStdString();
    for (int height : {8, 12, 15, 24, 40}) {
        const QFontMetrics metrics(TextFont(height));
        EXPECT_NEAR(metrics.ascent() + metrics.descent(), height, 1) << "height " << height;
    }
}

TEST_P(CanvasAtRatio, TextStaysInTheDeviceRowsOfItsCell) {
    const char text[] = "|[jg\x8a\x54\x83\x57\xff";
    for (int y : {3, 10, 13})
        for (int height : {8, 9, 15}) {
            SCOPED_TRACE(testing::Message() << "height " << height << " at y " << y);
            canvas.ClearBlack();
            canvas.SetTextStyle(height, 255, 255, 0);
            canvas.PutText(2, y, text);
            EXPECT_GT(CountInk(Buffer(), 2, y, text, height, kBlack, kYellow), height * 3);
        }
}

// Text scaled up from ratio 1 would ink whole 2 x 2 blocks in one colour;
// drawn at the device's resolution, most inked blocks mix shades.
TEST(CanvasRatio, TextAtRatioTwoIsDrawnAtTheDevicesResolution) {
    const std::string line = std::string("0: URL:http://example.com/ TITLE:") + kStartPage;
    Canvas canvas;
    canvas.Init(400, 20, 2.0);
    canvas.SetTextStyle(8, 255, 255, 0);
    canvas.PutText(10, 10, line.c_str());
    const QImage& image = canvas.BackBuffer();
    int inked = 0, uniform = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb corner = image.pixel(x, y);
            const bool same = image.pixel(x + 1, y) == corner && image.pixel(x, y + 1) == corner &&
                              image.pixel(x + 1, y + 1) == corner;
            if (same && corner == kBlack)
                continue;
            ++inked;
            uniform += same ? 1 : 0;
        }
    ASSERT_GT(inked, 200);
    EXPECT_LT(uniform, inked / 2) << uniform << " of " << inked << " inked blocks are uniform";
}

// Cells that start at different fractions of a device pixel hold the same
// ink: glyphs sit on whole device pixels, and no start cuts them differently.
TEST_P(CanvasAtRatio, TextInkIsTheSameWhereverTheCellStarts) {
    const double ratio = GetParam();
    QImage first;
    for (int y : {10, 11, 12, 13}) {
        canvas.ClearBlack();
        canvas.SetTextStyle(8, 255, 255, 0);
        canvas.PutText(2, y, "|[jg\x8a\x54\x83\x57");
        const int top = qRound(y * ratio);
        const QImage cell = Buffer().copy(0, top, Buffer().width(), qRound((y + 8) * ratio) - top);
        if (first.isNull())
            first = cell;
        EXPECT_EQ(cell, first) << "cell at y " << y;
    }
}
