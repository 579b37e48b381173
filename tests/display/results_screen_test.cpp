// The results screen: its lines as drawn and kept, drawn anew at another
// device pixel ratio, and neighbouring lines at fractional ratios.
#include "display/canvas_fixture.h"
#include "display/results_screen.h"
#include "display/text_codec.h"
#include "support/cp932_reference.h"

#include <string>
#include <vector>

namespace {

const std::vector<std::string> kLines = {
    "2: URL:http://127.0.0.1/ TITLE:" + Utf8ToCp932("会社概要") + " KEY:" + Utf8ToCp932("トップ"),
    "1: URL:http://127.0.0.1/a/ TITLE:ニュース KEY:gjpqy|",
    "0: URL:http://127.0.0.1/b/ TITLE:bad \xff\x82 KEY:",
};

void ShowAll(ResultsScreen& screen) {
    for (std::size_t row = 0; row < kLines.size(); ++row)
        screen.ShowLine(static_cast<int>(row), row == 0, kLines[row].c_str());
}

// The device rows that hold any pixel other than black.
std::vector<bool> InkedRows(const QImage& image) {
    std::vector<bool> rows(static_cast<std::size_t>(image.height()), false);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() && !rows[y]; ++x)
            rows[y] = image.pixel(x, y) != kBlack;
    return rows;
}

} // namespace

TEST(ResultsScreen, DrawsYellowLinesEightPixelsApartAndKeepsThemUntilAClear) {
    ResultsScreen screen;
    screen.ShowLine(0, false, "stale");
    ShowAll(screen);
    Canvas byHand;
    byHand.Init(kCanvasWidth, kCanvasHeight);
    byHand.SetTextStyle(8, 255, 255, 0);
    for (std::size_t row = 0; row < kLines.size(); ++row)
        byHand.PutText(10, 10 + 8 * static_cast<int>(row), kLines[row].c_str());
    EXPECT_EQ(screen.canvas().BackBuffer(), byHand.BackBuffer());

    ASSERT_EQ(screen.lines().size(), kLines.size());
    for (std::size_t row = 0; row < kLines.size(); ++row) {
        EXPECT_EQ(screen.lines()[row].row, static_cast<int>(row));
        EXPECT_EQ(screen.lines()[row].bytes, kLines[row]);
        EXPECT_EQ(screen.lines()[row].text, DecodeForScreen(kLines[row]));
    }
    EXPECT_EQ(screen.lines()[0].text, "2: URL:http://127.0.0.1/ TITLE:会社概要 KEY:トップ");
}

// Moved to a screen of another ratio and back, it shows what a screen that
// had that ratio from the start shows, and at ratio 1 the very same pixels.
TEST(ResultsScreen, DrawsTheSameLinesAnewAtEveryRatio) {
    ResultsScreen screen;
    ShowAll(screen);
    const QImage atOne = screen.canvas().BackBuffer().copy();
    for (double ratio : kDisplayRatios) {
        screen.SetDevicePixelRatio(ratio);
        ResultsScreen fresh;
        fresh.SetDevicePixelRatio(ratio);
        ShowAll(fresh);
        EXPECT_EQ(screen.canvas().BackBuffer(), fresh.canvas().BackBuffer()) << "ratio " << ratio;
        EXPECT_EQ(screen.lines().size(), kLines.size());
    }
    screen.SetDevicePixelRatio(1.0);
    EXPECT_EQ(screen.canvas().BackBuffer(), atOne);
}

// Each line keeps to the device rows of its own cell, whatever the ratio,
// so the next line below neither overlaps it nor cuts it.
TEST(ResultsScreen, NeighbouringLinesShareNoDeviceRowAtAnyRatio) {
    for (double ratio : kDisplayRatios) {
        ResultsScreen upper, lower, both;
        for (ResultsScreen* screen : {&upper, &lower, &both})
            screen->SetDevicePixelRatio(ratio);
        upper.ShowLine(4, false, kLines[1].c_str());
        lower.ShowLine(5, false, kLines[1].c_str());
        both.ShowLine(4, false, kLines[1].c_str());
        both.ShowLine(5, false, kLines[1].c_str());
        const std::vector<bool> upperRows = InkedRows(upper.canvas().BackBuffer());
        const std::vector<bool> lowerRows = InkedRows(lower.canvas().BackBuffer());
        for (std::size_t y = 0; y < upperRows.size(); ++y)
            ASSERT_FALSE(upperRows[y] && lowerRows[y]) << "ratio " << ratio << ", row " << y;
        QImage merged = upper.canvas().BackBuffer().copy();
        for (int y = 0; y < merged.height(); ++y)
            if (lowerRows[y])
                for (int x = 0; x < merged.width(); ++x)
                    merged.setPixel(x, y, lower.canvas().BackBuffer().pixel(x, y));
        EXPECT_EQ(both.canvas().BackBuffer(), merged) << "ratio " << ratio;
    }
}

TEST(ResultsScreen, CharacterEdgesRunLeftToRightFromTheMargin) {
    const QString text = QString::fromUtf8("Ab会社|");
    const std::vector<double> edges = CharacterEdges(text);
    ASSERT_EQ(edges.size(), 6u);
    EXPECT_EQ(edges.front(), kResultsMargin);
    for (std::size_t i = 1; i < edges.size(); ++i)
        EXPECT_GT(edges[i], edges[i - 1]) << i;
    // A full-width character is as wide as two half-width ones.
    EXPECT_NEAR(edges[3] - edges[2], 2 * (edges[2] - edges[1]), 1.0);
    EXPECT_TRUE(CharacterEdges(QString()) == std::vector<double>{kResultsMargin});
}
