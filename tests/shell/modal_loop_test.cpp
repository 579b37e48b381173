// Steps go on while the start dialog or the quit question is open, and both
// open at once even while a page is downloading or URL.csv cannot be
// written; the dialog's keys stay the dialog's; No leaves the crawl running;
// Yes cancels a download and ends the program with exit code 0.
#include "shell/shell_fixture.h"
#include "shell/ui_driver.h"

#include "support/csv_reader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <string>
#include <sys/stat.h>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

constexpr int kStepsWhileOpen = 3;

class ModalLoopTest : public ShellTest {
protected:
    // Creates the window and starts a crawl of the site.
    MainWindow& StartCrawling() {
        MainWindow& frame = CreateMainWindowPastDialog();
        AimAtSite(frame);
        ChooseMenuEntry(&frame, "解析スタート");
        return frame;
    }

    struct QuitTimes {
        qint64 askedAfterMs = -1; // from choosing the menu entry to the question
        qint64 exitMs = -1;       // from Yes to the window gone
    };

    // Quits through the menu and its question, answered Yes; the event loop
    // must end with exit code 0.
    QuitTimes QuitWithYes(MainWindow& frame) {
        QElapsedTimer clock;
        QuitTimes times;
        WhenTrue([] { return true; },
                 [&] {
                     clock.start();
                     ChooseMenuEntry(&frame, "アプリケーションの終了(&X)");
                 });
        WhenModalShows([&](QWidget* box) {
            times.askedAfterMs = clock.elapsed();
            ClickBoxButton(box, QMessageBox::Yes);
            clock.restart();
        });
        EXPECT_EQ(QApplication::exec(), 0);
        window.reset();
        times.exitMs = clock.elapsed();
        return times;
    }

    // Runs close on the modal window once kStepsWhileOpen more pages came in.
    void CloseAfterSomeSteps(std::function<void(QWidget*)> close) {
        WhenModalShows([this, close](QWidget* modal) {
            int atOpen = PagesFetched();
            WhenTrue([this, atOpen] { return PagesFetched() >= atOpen + kStepsWhileOpen; },
                     [modal, close] { close(modal); });
        });
    }
};

} // namespace

// Escape closes the dialog as Cancel does; the window's own Escape, which
// stops the crawl, never sees it.
TEST_F(ModalLoopTest, TicksCrawlWhileTheStartDialogIsOpenAndClosingStoresItsText) {
    MainWindow& frame = StartCrawling();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CrawlOf(frame).progress().pagesVisited > 0; },
                                kActionTimeoutMs));
    const std::string shownAtOpen = CrawlOf(frame).currentUrl();
    CloseAfterSomeSteps([](QWidget* dialog) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "Escape did not close the dialog";
            ClickButton(dialog, "OK");
        }
    });
    ChooseMenuEntry(&frame, "再設定");
    EXPECT_GE(PagesFetched(), 1 + kStepsWhileOpen);
    EXPECT_EQ(frame.runner().state(), CrawlState::Crawling);
    EXPECT_EQ(std::string(CrawlOf(frame).currentUrl()), shownAtOpen)
        << "closing must replace the URL the steps left with the field's text";
}

TEST_F(ModalLoopTest, TicksCrawlWhileTheQuitQuestionIsOpenAndNoLeavesTheCrawlRunning) {
    MainWindow& frame = StartCrawling();
    CloseAfterSomeSteps([](QWidget* box) { ClickBoxButton(box, QMessageBox::No); });
    EXPECT_FALSE(frame.close());
    const int afterNo = PagesFetched();
    EXPECT_GE(afterNo, 1 + kStepsWhileOpen);
    EXPECT_TRUE(QTest::qWaitFor([&] { return PagesFetched() >= afterNo + 2; }, kActionTimeoutMs));
}

// A page the server holds back: the dialog opens at once, and the step in
// flight keeps its URL whatever the dialog stores.
TEST_F(ModalLoopTest, StartDialogOpensAtOnceDuringADownload) {
    MainWindow& frame = CreateMainWindowPastDialog();
    site.CloseGate();
    AimAtSite(frame);
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return PagesFetched() == 1; }, kActionTimeoutMs));

    QElapsedTimer clock;
    clock.start();
    qint64 openedAfterMs = -1;
    WhenModalShows([&](QWidget* dialog) {
        openedAfterMs = clock.elapsed();
        UrlField(dialog)->setText("http://127.0.0.1:1/typed");
        ClickButton(dialog, "OK");
    });
    ChooseMenuEntry(&frame, "再設定");
    EXPECT_GE(openedAfterMs, 0);
    EXPECT_LT(openedAfterMs, 1000) << "the dialog waited for the download";
    EXPECT_EQ(LoggedRecords(), 0);

    site.OpenGate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return LoggedRecords() >= 1; }, kActionTimeoutMs));
    EXPECT_EQ(ParseCsv(ReadWholeFile(logPath))[0][0], site.Url("/"));
}

// Quitting while a page downloads: the question opens at once, Yes ends the
// program with exit code 0 at once, and the page in flight leaves no record.
TEST_F(ModalLoopTest, YesDuringADownloadEndsTheProgramAtOnceWithExitCodeZero) {
    MainWindow& frame = StartCrawling();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return LoggedRecords() >= kStepsWhileOpen; }, kActionTimeoutMs));
    site.CloseGate();
    const int fetched = PagesFetched();
    ASSERT_TRUE(QTest::qWaitFor([&] { return PagesFetched() > fetched; }, kActionTimeoutMs))
        << "no download began";
    const int records = LoggedRecords();

    const QuitTimes quit = QuitWithYes(frame);
    EXPECT_LT(quit.askedAfterMs, 1000) << "the question waited for the download";
    EXPECT_LT(quit.exitMs, 1000) << "Yes waited for the download";
    EXPECT_EQ(LoggedRecords(), records) << "the cancelled page must leave no record";
}

// URL.csv a FIFO that no program reads: the steps go on, each record is
// reported as not written, and quitting answers at once.
TEST_F(ModalLoopTest, AFifoWithoutReaderAsTheLogHoldsUpNeitherStepsNorQuitting) {
    ASSERT_EQ(mkfifo(logPath.c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    MainWindow& frame = StartCrawling();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return PagesFetched() >= 1 + kStepsWhileOpen; }, kActionTimeoutMs));

    const QuitTimes quit = QuitWithYes(frame);
    EXPECT_LT(quit.askedAfterMs, 1000) << "the question waited for the FIFO";
    EXPECT_LT(quit.exitMs, 1000) << "Yes waited for the FIFO";
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "not written to " + logPath + ": it is a FIFO that no program is reading"),
              std::string::npos);
}
