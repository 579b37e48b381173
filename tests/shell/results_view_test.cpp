// The results view moved between screens of different device pixel ratios
// (the offscreen screens of three_screens.json, which ctest passes): on each
// it shows what a results screen drawn at that ratio shows. On those large
// screens the window opens showing all of the results and its status bar.
#include "display/canvas.h"
#include "display/results_screen.h"
#include "shell/main_window.h"
#include "shell/results_view.h"
#include "shell/ui_driver.h"
#include "support/temp_dir.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace torvesk::engine;
using namespace torvesk::display;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

const std::vector<ResultsLine> kLines = {
    {0, false, "2: URL:http://127.0.0.1/ TITLE:Home KEY:gjpqy|"},
    {1, false, "1: URL:http://127.0.0.1/a/ TITLE:会社概要 KEY:\x83\x58\x83\x5e"},
};

QScreen* ScreenOfRatio(double ratio) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == ratio)
            return screen;
    return nullptr;
}

bool MoveTo(QWidget& widget, QScreen* screen) {
    widget.move(screen->geometry().topLeft() + QPoint(10, 10));
    return QTest::qWaitFor([&] { return widget.screen() == screen; });
}

} // namespace

TEST(ResultsViewOnScreens, ShowsTheScreenDrawnAtTheRatioOfEachScreenItMovesTo) {
    ResultsView view;
    view.resize(kCanvasWidth, kCanvasHeight);
    for (const ResultsLine& line : kLines)
        view.showLine(line);
    view.show();
    for (double ratio : {1.0, 2.0, 1.25, 1.0}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        QScreen* screen = ScreenOfRatio(ratio);
        if (!screen)
            GTEST_SKIP()
                << "needs the screens of tests/shell/three_screens.json (ctest passes them)";
        ASSERT_TRUE(MoveTo(view, screen));
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ResultsScreen expected;
        expected.SetDevicePixelRatio(ratio);
        for (const ResultsLine& line : kLines)
            expected.ShowLine(line.row, line.clearsScreen, line.text.c_str());
        EXPECT_EQ(shown.devicePixelRatio(), ratio);
        EXPECT_TRUE(shown == expected.canvas().BackBuffer());
    }
}

// Zoomed, on each screen, the view is the screen drawn at the screen's ratio
// times the zoom: every device pixel drawn, none stretched; the zoom keeps
// to its range.
TEST(ResultsViewOnScreens, AZoomDrawsTheScreenAtThatRatioTimesTheScreens) {
    ResultsView view;
    for (const ResultsLine& line : kLines)
        view.showLine(line);
    view.setZoom(250);
    view.resize(view.sizeHint());
    view.show();
    EXPECT_EQ(view.sizeHint(), QSize(kCanvasWidth, kCanvasHeight) * 5 / 2);
    for (double ratio : {1.0, 2.0, 1.25}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        QScreen* screen = ScreenOfRatio(ratio);
        if (!screen)
            GTEST_SKIP()
                << "needs the screens of tests/shell/three_screens.json (ctest passes them)";
        ASSERT_TRUE(MoveTo(view, screen));
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ResultsScreen expected;
        expected.SetDevicePixelRatio(std::min(ratio * 2.5, kMaxDevicePixelRatio));
        for (const ResultsLine& line : kLines)
            expected.ShowLine(line.row, line.clearsScreen, line.text.c_str());
        const QImage drawn = expected.canvas().BackBuffer();
        if (ratio * 2.5 <= kMaxDevicePixelRatio) {
            EXPECT_TRUE(shown.copy(QRect(QPoint(), drawn.size())) == drawn);
        }
    }
    view.setZoom(1000);
    EXPECT_EQ(view.zoom(), kMaxZoomPercent);
    view.setZoom(0);
    EXPECT_EQ(view.zoom(), kMinZoomPercent);
}

TEST(MainWindowOnALargeScreen, OpensShowingAllOfTheResultsAndTheStatusBar) {
    if (!ScreenOfRatio(2.0))
        GTEST_SKIP() << "needs the screens of tests/shell/three_screens.json (ctest passes them)";
    PendingActions actions;
    actions.WhenModalShows([](QWidget* dialog) { ClickButton(dialog, "OK"); });
    TempDir dir;
    MainWindow window(1, dir.File("URL.csv"));
    window.show();
    auto* area = qobject_cast<QScrollArea*>(window.centralWidget());
    ASSERT_NE(area, nullptr);
    // The scroll bars follow the layout's pending requests.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return area->viewport()->size() == QSize(kCanvasWidth, kCanvasHeight);
    })) << area->viewport()->width()
        << " x " << area->viewport()->height();
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible() ||
                 area->verticalScrollBar()->isVisible());
    EXPECT_TRUE(window.statusBar()->isVisible());
}
