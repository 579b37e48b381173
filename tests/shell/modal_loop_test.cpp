// Ticks keep crawling while the start dialog or the quit question holds the
// loop; No leaves the crawl running; Yes ends the program with exit code 0.
#include "app_main.h"
#include "crawl_state.h"
#include "main_window.h"
#include "resources.h"
#include "shell_fixture.h"
#include "ui_driver.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>

#include <string>

namespace {

constexpr int kStepsWhileOpen = 3;

class ModalLoopTest : public ShellTest {
protected:
    // Creates the window and starts a crawl of the site.
    HWND StartCrawling() {
        HWND window = CreateMainWindowPastDialog();
        AimAtSite();
        SendMessageA(window, WM_COMMAND, ID_MENU_START, 0);
        return window;
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

TEST_F(ModalLoopTest, TicksCrawlWhileTheStartDialogIsOpenAndClosingStoresItsText) {
    HWND window = StartCrawling();
    std::string shownAtOpen = g_crawlState.currentUrl;
    CloseAfterSomeSteps([](QWidget* dialog) { ClickButton(dialog, IDOK); });
    SendMessageA(window, WM_COMMAND, ID_MENU_RESET, 0);
    EXPECT_GE(PagesFetched(), 1 + kStepsWhileOpen);
    EXPECT_EQ(std::string(g_crawlState.currentUrl), shownAtOpen)
        << "closing must replace the URL the steps left with the field's text";
}

TEST_F(ModalLoopTest, TicksCrawlWhileTheQuitQuestionIsOpenAndNoLeavesTheCrawlRunning) {
    HWND window = StartCrawling();
    CloseAfterSomeSteps([](QWidget* box) { ClickBoxButton(box, QMessageBox::No); });
    SendMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(window));
    int afterNo = PagesFetched();
    EXPECT_GE(afterNo, 1 + kStepsWhileOpen);
    EXPECT_TRUE(PumpUntil([&] { return PagesFetched() >= afterNo + 2; }));
}

TEST_F(ModalLoopTest, YesEndsTheProgramLoopWithExitCodeZero) {
    UnregisterClassA(kMainClassName, &g_module); // AppMain registers it itself
    std::string home = site.Url("/");
    WhenModalShows([&](QWidget* dialog) {
        UrlField(dialog)->setText(QString::fromStdString(home));
        ClickButton(dialog, IDOK);
        WhenTrue([&] { return MainFrame() != nullptr; },
                 [&] {
                     ChooseMenuEntry(MainFrame(), "解析スタート");
                     WhenTrue([&] { return LoggedRecords() >= kStepsWhileOpen; },
                              [&] {
                                  ChooseMenuEntry(MainFrame(), "アプリケーションの終了(&X)");
                                  WhenModalShows(
                                      [](QWidget* box) { ClickBoxButton(box, QMessageBox::Yes); });
                              });
                 });
    });
    EXPECT_EQ(AppMain(&g_module, SW_SHOW), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_FALSE(IsWindow(g_shell.mainWindow));
    EXPECT_GE(LoggedRecords(), kStepsWhileOpen);
}
