// The main window: the start-up order, the menu, painting, the results on
// screen, the quit question, and what does nothing.
#include "display/canvas.h"
#include "shell/shell_fixture.h"
#include "shell/ui_driver.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QStringList MenuTexts(QMainWindow& frame) {
    QStringList texts;
    for (QAction* menu : frame.menuBar()->actions()) {
        texts << menu->text();
        for (QAction* entry : menu->menu()->actions())
            texts << "  " + entry->text();
    }
    return texts;
}

// Answers the quit question; shown becomes what it showed.
void AnswerQuitQuestion(PendingActions& actions, QString& shown,
                        QMessageBox::StandardButton answer) {
    actions.WhenModalShows([&shown, answer](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        shown = box->windowTitle() + ": " + box->text() + " [" +
                box->button(QMessageBox::Yes)->text() + "|" + box->button(QMessageBox::No)->text() +
                "] default " + box->defaultButton()->text();
        ClickBoxButton(box, answer);
    });
}

const QString kQuestionShown =
    "確認: 終了してもよろしいですか [はい(&Y)|いいえ(&N)] default はい(&Y)";

MainWindow* HiddenMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* frame = qobject_cast<MainWindow*>(widget))
            return frame;
    return nullptr;
}

} // namespace

// Canvas and default URL before the dialog, the dialog before the window,
// the tick only after the dialog: a step due while it is open waits.
TEST_F(ShellTest, StartUpShowsTheDialogFirstAndTicksOnlyAfterIt) {
    bool dialogSeen = false;
    WhenModalShows([&](QWidget* dialog) {
        dialogSeen = true;
        EXPECT_EQ(UrlField(dialog)->text().toStdString(), kDefaultInitialUrl);
        EXPECT_TRUE(dialog->focusWidget() && dialog->focusWidget()->inherits("QPushButton") &&
                    static_cast<QPushButton*>(dialog->focusWidget())->text() == "OK");
        MainWindow* frame = HiddenMainWindow();
        ASSERT_NE(frame, nullptr);
        EXPECT_FALSE(frame->isVisible()) << "the main window showed before the start dialog";
        CrawlRunner& runner = frame->runner();
        runner.crawler().SetCurrentUrl(site.Url("/"));
        runner.startCrawl();
        WhenTrue([&runner] { return runner.crawler().stepDone(); },
                 [&, dialog] {
                     EXPECT_FALSE(runner.tickTimer().isActive())
                         << "the timer ran before the dialog closed";
                     UrlField(dialog)->setText(QString::fromStdString(site.Url("/")));
                     ClickButton(dialog, "OK");
                 });
    });
    window = std::make_unique<MainWindow>(kSeed, logPath);
    window->show();
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(window->windowTitle(), "Torvesk");
    EXPECT_TRUE(QTest::qWaitFor([&] { return PagesFetched() == 2; }, kActionTimeoutMs))
        << "no tick after the dialog";
}

TEST_F(ShellTest, MenuHoldsTheEntriesAndStartCrawlsTheCurrentUrl) {
    MainWindow& frame = CreateMainWindowPastDialog();
    const QStringList expected = {"メニュー",       "  再設定",
                                  "  解析スタート", "  アプリケーションの終了(&X)",
                                  "ヘルプ",         "  バージョン情報 ...(&A)"};
    EXPECT_EQ(MenuTexts(frame), expected);

    AimAtSite(frame);
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return LoggedRecords() >= 2; }, kActionTimeoutMs));
    EXPECT_EQ(site.RequestedPaths().front(), "/");
}

TEST_F(ShellTest, PaintShowsTheCanvasAndWhiteBeyondIt) {
    MainWindow& frame = CreateMainWindowPastDialog();
    QWidget* client = frame.centralWidget();
    frame.resize(kCanvasWidth + 100, kCanvasHeight + 100 + frame.menuBar()->height());
    ASSERT_GT(client->width(), kCanvasWidth);
    ASSERT_GT(client->height(), kCanvasHeight);

    const QImage shown = client->grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(kCanvasWidth - 1, kCanvasHeight - 1), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(kCanvasWidth + 5, 5), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(5, kCanvasHeight + 5), QColor(Qt::white));
}

// The screen after two steps equals a canvas on which the two expected lines
// were drawn by hand.
TEST_F(ShellTest, FinishedStepsAppearOnTheScreenLineByLine) {
    MainWindow& frame = CreateMainWindowPastDialog();
    frame.resize(kCanvasWidth, kCanvasHeight + frame.menuBar()->height());
    AimAtSite(frame);
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return LoggedRecords() == 1; }, kActionTimeoutMs));
    const std::string first = "0: URL:" + site.Url("/") + " TITLE:Home KEY:" + kStartPageKey;

    Canvas expected;
    expected.Init(kCanvasWidth, kCanvasHeight);
    expected.SetTextStyle(8, 255, 255, 0);
    expected.PutText(10, 10, first.c_str());
    QImage shown = frame.centralWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown.copy(0, 0, kCanvasWidth, 100) ==
                expected.BackBuffer().copy(0, 0, kCanvasWidth, 100));
}

TEST_F(ShellTest, CloseAndTheExitEntryAskFirstAndNoKeepsTheWindow) {
    MainWindow& frame = CreateMainWindowPastDialog();
    QString shown;
    AnswerQuitQuestion(actions, shown, QMessageBox::No);
    EXPECT_FALSE(frame.close());
    EXPECT_EQ(shown, kQuestionShown);

    shown.clear();
    AnswerQuitQuestion(actions, shown, QMessageBox::No);
    ChooseMenuEntry(&frame, "アプリケーションの終了(&X)");
    EXPECT_EQ(shown, kQuestionShown);
    EXPECT_TRUE(frame.isVisible());
}

TEST_F(ShellTest, HelpShowsTheVersionAndAClickChangesNothing) {
    MainWindow& frame = CreateMainWindowPastDialog();
    CrawlOf(frame).SetCurrentUrl("http://127.0.0.1:1/kept");

    QString about;
    WhenModalShows([&](QWidget* dialog) {
        about = dialog->windowTitle();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            about += "|" + label->text();
        const Qt::WindowFlags flags = dialog->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        ClickButton(dialog, "OK");
    });
    ChooseMenuEntry(&frame, "バージョン情報 ...(&A)");
    EXPECT_TRUE(about.startsWith("バージョン情報|")) << about.toStdString();
    EXPECT_TRUE(about.contains("Torvesk バージョン " TORVESK_VERSION)) << about.toStdString();

    QTest::mouseClick(frame.centralWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCoreApplication::processEvents();
    EXPECT_FALSE(CrawlOf(frame).stepInFlight());
    EXPECT_STREQ(CrawlOf(frame).currentUrl(), "http://127.0.0.1:1/kept");
    EXPECT_EQ(CrawlOf(frame).row(), 0);
    EXPECT_EQ(PagesFetched(), 0);
    EXPECT_TRUE(frame.isVisible());
}
