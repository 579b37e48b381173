// The main window's message table, row by row, driven through the shell's
// own procedure and menus.
#include "canvas.h"
#include "crawl_state.h"
#include "crawl_step.h"
#include "link_table.h"
#include "main_window.h"
#include "resources.h"
#include "shell_fixture.h"
#include "ui_driver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

#include <cstring>
#include <memory>

namespace {

QStringList MenuTexts(QMainWindow* frame) {
    QStringList texts;
    for (QAction* menu : frame->menuBar()->actions()) {
        texts << menu->text();
        for (QAction* entry : menu->menu()->actions())
            texts << "  " + entry->text();
    }
    return texts;
}

// Answers the quit question; shown becomes "caption: text".
void AnswerQuitQuestion(QString& shown, QMessageBox::StandardButton answer) {
    WhenModalShows([&shown, answer](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        shown = box->windowTitle() + ": " + box->text();
        box->button(answer)->click();
    });
}

} // namespace

TEST_F(ShellTest, CreationPreparesCanvasAndUrlThenAsksThenStartsTheTimer) {
    bool dialogSeen = false;
    WhenModalShows([&](QWidget* dialog) {
        dialogSeen = true;
        EXPECT_EQ(UrlField(dialog)->text().toStdString(), kDefaultInitialUrl);
        EXPECT_EQ(MainFrame(), nullptr) << "the main window showed before the start dialog";
        ASSERT_NE(g_canvas.BackBuffer(), nullptr);
        EXPECT_EQ(g_canvas.BackBuffer()->size(), QSize(kCanvasWidth, kCanvasHeight));
        // A step is due: a running timer would take it while the dialog is open.
        g_crawlState.stepDone = 1;
        PushLink(site.Url("/b/").c_str(), "B");
        auto opened = std::make_shared<QElapsedTimer>();
        opened->start();
        WhenTrue([opened] { return opened->elapsed() > 300; },
                 [&, dialog] {
                     EXPECT_EQ(PagesFetched(), 0) << "the timer ran before the dialog closed";
                     ClickButton(dialog, IDOK);
                 });
    });
    ASSERT_TRUE(CreateMainWindow(&g_module, SW_SHOW));
    EXPECT_TRUE(dialogSeen);
    ASSERT_NE(MainFrame(), nullptr);
    EXPECT_EQ(MainFrame()->windowTitle(), "Torvesk");
    EXPECT_TRUE(PumpUntil([&] { return PagesFetched() == 1; })) << "no tick after the dialog";
    EXPECT_EQ(site.RequestedPaths().front(), "/b/");
}

TEST_F(ShellTest, MenuHoldsTheEntriesAndChoosingOnePostsItsCommand) {
    CreateMainWindowPastDialog();
    QStringList expected = {"メニュー",       "  再設定",
                            "  解析スタート", "  アプリケーションの終了(&X)",
                            "ヘルプ",         "  バージョン情報 ...(&A)"};
    EXPECT_EQ(MenuTexts(MainFrame()), expected);

    AimAtSite();
    ChooseMenuEntry(MainFrame(), "解析スタート");
    EXPECT_EQ(PagesFetched(), 0) << "the command must come from the message loop";
    ASSERT_TRUE(PumpUntil([&] { return PagesFetched() >= 1; }));
    EXPECT_EQ(site.RequestedPaths().front(), "/");
}

TEST_F(ShellTest, PaintCopiesTheBackBufferAndLeavesTheRestWhite) {
    CreateMainWindowPastDialog();
    QWidget* client = MainFrame()->centralWidget();
    MainFrame()->resize(kCanvasWidth + 100, kCanvasHeight + 100 + MainFrame()->menuBar()->height());
    ASSERT_GT(client->width(), kCanvasWidth);
    ASSERT_GT(client->height(), kCanvasHeight);

    QImage shown = client->grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(kCanvasWidth - 1, kCanvasHeight - 1), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(kCanvasWidth + 5, 5), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(5, kCanvasHeight + 5), QColor(Qt::white));
}

TEST_F(ShellTest, StartCommandCrawlsTheCurrentUrlAndEveryTickTakesTheNextStep) {
    HWND window = CreateMainWindowPastDialog();
    AimAtSite();
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, ID_MENU_START, 0), 0);
    EXPECT_EQ(site.RequestedPaths(), std::vector<std::string>{"/"});
    EXPECT_EQ(LoggedRecords(), 1);

    // The timer id is not examined.
    EXPECT_EQ(SendMessageA(window, WM_TIMER, 77, 0), 0);
    EXPECT_EQ(PagesFetched(), 2);
    EXPECT_EQ(LoggedRecords(), 2);
}

TEST_F(ShellTest, CloseAndTheExitEntryAskFirstAndNoKeepsTheWindow) {
    HWND window = CreateMainWindowPastDialog();
    QString shown;
    AnswerQuitQuestion(shown, QMessageBox::No);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(shown, "確認: 終了してもよろしいですか");

    shown.clear();
    AnswerQuitQuestion(shown, QMessageBox::No);
    SendMessageA(window, WM_COMMAND, ID_MENU_EXIT, 0);
    EXPECT_EQ(shown, "確認: 終了してもよろしいですか");
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(DrainMessages(), -1) << "No must not quit";
}

TEST_F(ShellTest, HelpEntryClicksAndUnknownMessagesChangeNothing) {
    HWND window = CreateMainWindowPastDialog();
    std::strcpy(g_crawlState.currentUrl, "http://127.0.0.1:1/kept");
    int rowBefore = g_crawlState.row;

    QString aboutCaption;
    WhenModalShows([&](QWidget* dialog) {
        aboutCaption = dialog->windowTitle();
        ClickButton(dialog, IDOK);
    });
    ChooseMenuEntry(MainFrame(), "バージョン情報 ...(&A)");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), QPointF(50, 50), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(MainFrame()->centralWidget(), &press);
    PumpUntil([&] { return !aboutCaption.isEmpty(); });
    EXPECT_EQ(aboutCaption, "バージョン情報");

    EXPECT_EQ(SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)), 0);
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, 9999, 0), 0);
    EXPECT_EQ(SendMessageA(window, 0x0400, 1, 2), 0);
    EXPECT_STREQ(g_crawlState.currentUrl, "http://127.0.0.1:1/kept");
    EXPECT_EQ(g_crawlState.row, rowBefore);
    EXPECT_EQ(g_linkTable.count, 0);
    EXPECT_EQ(PagesFetched(), 0);
    EXPECT_TRUE(IsWindow(window));
}
