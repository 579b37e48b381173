// The results screen: its lines as drawn and kept, and drawn anew at
// another device pixel ratio.
#include "display/canvas_fixture.h"
#include "display/results_screen.h"
#include "display/text_codec.h"
#include "support/cp932_reference.h"

#include <string>
#include <vector>

using namespace torvesk::display;

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
