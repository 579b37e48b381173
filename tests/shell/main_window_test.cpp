// The main window: the start-up order, the menu and its keys through a
// crawl, the status bar, painting and scrolling, the results on screen, the
// quit question, and what does nothing.
#include "display/canvas.h"
#include "shell/crawl_status_bar.h"
#include "shell/failure_words.h"
#include "shell/interface_language.h"
#include "shell/results_filter.h"
#include "shell/results_panel.h"
#include "shell/results_table.h"
#include "shell/results_table_model.h"
#include "shell/results_view.h"
#include "shell/shell_fixture.h"
#include "shell/ui_driver.h"
#include "support/csv_reader.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

using namespace torvesk::engine;
using namespace torvesk::display;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

// WCAG 2's contrast ratio, worked out here on its own.
double WcagContrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return std::max(la, lb) / std::min(la, lb);
}

// Each entry with the key shown beside it.
QStringList MenuTexts(QMainWindow& frame) {
    QStringList texts;
    for (QAction* menu : frame.menuBar()->actions()) {
        texts << menu->text();
        for (QAction* entry : menu->menu()->actions()) {
            const QString key = entry->shortcut().toString(QKeySequence::NativeText);
            texts << "  " + entry->text() + (key.isEmpty() ? "" : "\t" + key);
        }
    }
    return texts;
}

// The first menu's entries that can be chosen now.
QStringList EnabledEntries(QMainWindow& frame) {
    QStringList texts;
    for (QAction* entry : frame.menuBar()->actions().front()->menu()->actions())
        if (!entry->isSeparator() && entry->isEnabled())
            texts << entry->text();
    return texts;
}

// What the status bar shows, label by label; an icon shows as "<icon>".
QString StatusText(QMainWindow& frame) {
    QStringList shown;
    for (QLabel* label : frame.statusBar()->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->pixmap().isNull())
            shown << "<icon>";
        else if (label->isVisible() && !label->text().isEmpty())
            shown << label->text();
    }
    return shown.join(" | ");
}

bool StatusShows(QMainWindow& frame, const QString& text) {
    return QTest::qWaitFor([&] { return StatusText(frame).contains(text); }, kActionTimeoutMs);
}

// Receives the addresses the window asks the desktop to open.
// Counts the paints of all of a widget.
struct WholePaints : QObject {
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            count +=
                static_cast<QPaintEvent*>(event)->rect() == static_cast<QWidget*>(watched)->rect();
        return false;
    }
};

class DesktopOpener : public QObject {
    Q_OBJECT

public:
    explicit DesktopOpener(QString scheme = "file") : scheme_(std::move(scheme)) {
        QDesktopServices::setUrlHandler(scheme_, this, "open");
    }
    ~DesktopOpener() override { QDesktopServices::unsetUrlHandler(scheme_); }

    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }

private:
    const QString scheme_;
};

// The table's rows as shown, each row's cells joined by " | ".
QStringList TableRows(ResultsPanel& panel) {
    QStringList rows;
    const QAbstractItemModel& shown = panel.shown();
    for (int row = 0; row < shown.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < shown.columnCount(); ++column)
            cells << shown.index(row, column).data().toString();
        rows << cells.join(" | ");
    }
    return rows;
}

// Chooses the entry with this text from the table's context menu on row.
void ChooseFromContextMenu(PendingActions& actions, ResultsTable& table, int row,
                           const QString& entry) {
    actions.WhenTrue([] { return QApplication::activePopupWidget() != nullptr; },
                     [entry] {
                         auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                         ASSERT_NE(menu, nullptr);
                         for (QAction* action : menu->actions())
                             if (action->text() == entry)
                                 action->trigger();
                         menu->close();
                     });
    table.scrollTo(table.model()->index(row, 2));
    const QPoint at = table.visualRect(table.model()->index(row, 2)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table.viewport()->mapToGlobal(at));
    QApplication::sendEvent(table.viewport(), &event);
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
        EXPECT_EQ(dialog->focusWidget(), UrlField(dialog));
        EXPECT_EQ(UrlField(dialog)->selectedText(), UrlField(dialog)->text());
        MainWindow* frame = HiddenMainWindow();
        ASSERT_NE(frame, nullptr);
        EXPECT_FALSE(frame->isVisible()) << "the main window showed before the start dialog";
        CrawlRunner& runner = frame->runner();
        runner.setStartUrl(site.Url("/"));
        runner.startCrawl();
        WhenTrue([&runner] { return runner.progress().pagesVisited > 0; },
                 [&, dialog] {
                     EXPECT_FALSE(runner.tickTimer().isActive())
                         << "the timer ran before the dialog closed";
                     // Typing replaces the selected address; Enter presses OK.
                     QTest::keyClicks(UrlField(dialog), QString::fromStdString(site.Url("/")));
                     QTest::keyClick(UrlField(dialog), Qt::Key_Return);
                 });
    });
    window = std::make_unique<MainWindow>(kSeed, logPath);
    EXPECT_EQ(CrawlOf(*window).currentUrl(), site.Url("/"));
    window->show();
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(window->windowTitle(), "Torvesk");
    EXPECT_TRUE(QTest::qWaitFor([&] { return PagesFetched() == 2; }, kActionTimeoutMs))
        << "no tick after the dialog";
}

TEST_F(ShellTest, MenuHoldsTheEntriesAndStartCrawlsTheCurrentUrl) {
    MainWindow& frame = CreateMainWindowPastDialog();
    const QStringList expected = {"メニュー",
                                  "  再設定\tCtrl+L",
                                  "  解析スタート\tF5",
                                  "  一時停止\tSpace",
                                  "  解析停止\tEsc",
                                  "  ",
                                  "  URL.csv を開く",
                                  "  URL.csv のフォルダを開く",
                                  "  ",
                                  "  アプリケーションの終了(&X)\tCtrl+Q",
                                  "表示",
                                  "  訪問したページの表\tCtrl+T",
                                  "  ",
                                  "  拡大\tCtrl++",
                                  "  縮小\tCtrl+-",
                                  "  等倍\tCtrl+0",
                                  "ヘルプ",
                                  "  バージョン情報 ...(&A)"};
    EXPECT_EQ(MenuTexts(frame), expected);
    for (QAction* menu : frame.menuBar()->actions())
        for (QAction* entry : menu->menu()->actions())
            if (!entry->isSeparator()) {
                EXPECT_FALSE(entry->statusTip().isEmpty()) << entry->text().toStdString();
                EXPECT_EQ(entry->toolTip(), entry->statusTip()) << entry->text().toStdString();
            }
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_F10);
    EXPECT_EQ(frame.menuBar()->activeAction(), frame.menuBar()->actions().front())
        << "F10 did not open the menu bar";
    QTest::keyClick(frame.menuBar(), Qt::Key_Escape);

    AimAtSite(frame);
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return LoggedRecords() >= 2; }, kActionTimeoutMs));
    EXPECT_EQ(site.RequestedPaths().front(), "/");
}

// English under LANGUAGE=en and under any language without a translation of
// its own; Japanese, the source language, under ja and where no language is
// set (C, POSIX, nothing).
TEST_F(ShellTest, TheWindowSpeaksTheDesktopsLanguage) {
    struct Case {
        std::map<std::string, QString> environment;
        bool english;
    };
    const Case cases[] = {
        {{{"LANGUAGE", "en"}, {"LANG", "C"}}, true},
        {{{"LANG", "de_DE.UTF-8"}}, true},
        {{{"LANGUAGE", "fr:ja"}, {"LANG", "ja_JP.UTF-8"}}, true},
        {{{"LANG", "C"}}, false},
        {{{"LC_ALL", "POSIX"}, {"LANG", "en_US.UTF-8"}}, false},
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", ""}}, false},
        {{{"LANGUAGE", "ja"}, {"LANG", "en_US.UTF-8"}}, false},
        {{}, false},
    };
    for (const Case& language : cases) {
        const auto translation = InstallTranslation([&](const char* name) {
            const auto value = language.environment.find(name);
            return value == language.environment.end() ? QString() : value->second;
        });
        MainWindow& frame = CreateMainWindowPastDialog();
        const QStringList menu = MenuTexts(frame);
        const QString texts = menu.join(u'|') + "|" + StatusText(frame);
        if (language.english)
            EXPECT_EQ(menu.mid(0, 3), QStringList({"&Menu", "  &Set Start Address...\tCtrl+L",
                                                   "  S&tart Crawl\tF5"}))
                << texts.toStdString();
        else
            EXPECT_EQ(menu.mid(0, 3),
                      QStringList({"メニュー", "  再設定\tCtrl+L", "  解析スタート\tF5"}))
                << texts.toStdString();
        EXPECT_TRUE(
            StatusText(frame).startsWith(language.english ? "Idle | Visited 0" : "待機中 | 訪問 0"))
            << texts.toStdString();
        window.reset();
    }
}

// The engine's failure lines (English, for standard error) in the window's
// words: its causes, with their values, in either language; a cause the
// window has no words for as reported.
TEST_F(ShellTest, FailureLinesAreWordedInTheWindowsLanguage) {
    const std::string lines[] = {
        "fetching http://a/ failed: host name not found",
        "fetching http://a/x (redirected from http://b/) failed: no data for 30 s",
        "fetching https://a/ failed: proxy p.example:3128 refused the connection with status 403",
        "nothing fetched: no start address",
        "fetching http://a/ failed: something new",
    };
    const QStringList japanese = {
        "http://a/ を取得できません: ホスト名が見つかりません",
        "http://a/x (http://b/ からのリダイレクト) を取得できません: 30 s の間データがありません",
        "https://a/ を取得できません: プロキシ p.example:3128 がステータス 403 で接続を断りました",
        "何も取得していません: 開始アドレスがありません",
        "http://a/ を取得できません: something new",
    };
    for (std::size_t i = 0; i < std::size(lines); ++i)
        EXPECT_EQ(FailureInWords(lines[i]), japanese[i]);
    const auto english = InstallTranslation([](const char* name) {
        return QString(name) == "LANGUAGE" ? QStringLiteral("en") : QString();
    });
    for (const std::string& line : lines)
        EXPECT_EQ(FailureInWords(line).toStdString(), line);
}

// Idle, crawling, paused, resumed and stopped, by key and by entry: what can
// be chosen, what the pause entry says, what the status bar says at once,
// and the URL.csv entries once the file is there, opened by the desktop.
TEST_F(ShellTest, EntriesKeysAndStatusFollowTheCrawlThroughPauseAndStop) {
    MainWindow& frame = CreateMainWindowPastDialog();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    const QStringList idle = {"再設定", "解析スタート", "アプリケーションの終了(&X)"};
    EXPECT_EQ(EnabledEntries(frame), idle);
    EXPECT_TRUE(StatusText(frame).startsWith(
        "待機中 | 訪問 0 ページ ・ 失敗 0 ・ HTTP エラー 0 ・ 未訪問リンク 0"));

    AimAtSite(frame);
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return EnabledEntries(frame).size() == 7; }, kActionTimeoutMs))
        << "the URL.csv entries stayed disabled after a record";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QString shown = StatusText(frame);
            return !shown.contains("記録 0 件") &&
                   shown.endsWith(" 件 | 記録先: " + QString::fromStdString(logPath));
        },
        kActionTimeoutMs))
        << StatusText(frame).toStdString();

    QTest::keyClick(&frame, Qt::Key_Space);
    EXPECT_EQ(frame.runner().state(), CrawlState::Paused);
    EXPECT_EQ(EnabledEntries(frame)[2], "再開");
    EXPECT_TRUE(StatusText(frame).startsWith("一時停止中")) << StatusText(frame).toStdString();
    ChooseMenuEntry(&frame, "再開");
    EXPECT_EQ(frame.runner().state(), CrawlState::Crawling);
    EXPECT_EQ(EnabledEntries(frame)[2], "一時停止");
    EXPECT_TRUE(StatusText(frame).startsWith("解析中"));

    QTest::keyClick(&frame, Qt::Key_Escape);
    EXPECT_EQ(frame.runner().state(), CrawlState::Idle);
    EXPECT_EQ(EnabledEntries(frame),
              QStringList({"再設定", "解析スタート", "URL.csv を開く", "URL.csv のフォルダを開く",
                           "アプリケーションの終了(&X)"}));
    EXPECT_TRUE(StatusText(frame).startsWith("待機中 |"));

    DesktopOpener desktop;
    ChooseMenuEntry(&frame, "URL.csv を開く");
    ChooseMenuEntry(&frame, "URL.csv のフォルダを開く");
    EXPECT_EQ(desktop.opened,
              QList<QUrl>({QUrl::fromLocalFile(QString::fromStdString(logPath)),
                           QUrl::fromLocalFile(QString::fromStdString(logDir.path()))}));
}

// A changed number repaints its own label, never all of the bar. A label
// that appears gets room of its own, beside its neighbours, not over them.
TEST_F(ShellTest, ANewNumberRepaintsItsLabelAndALabelThatAppearsGetsRoom) {
    MainWindow& frame = CreateMainWindowPastDialog();
    auto* bar = static_cast<CrawlStatusBar*>(frame.statusBar());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CrawlProgress progress;
    // The counts' label grows once, and the bar makes room for it.
    for (progress.pagesVisited = 10; progress.pagesVisited < 12; ++progress.pagesVisited) {
        bar->showProgress(progress);
        QCoreApplication::processEvents();
    }
    WholePaints paints;
    bar->installEventFilter(&paints);
    for (; progress.pagesVisited < 20; ++progress.pagesVisited) {
        bar->showProgress(progress);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(paints.count, 0);

    progress.records.notWritten = 3;
    bar->showProgress(progress);
    QLabel* warning = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (QLabel* label : bar->findChildren<QLabel*>())
                if (label->text().startsWith("警告") && label->width() > 0)
                    warning = label;
            return warning != nullptr;
        },
        kActionTimeoutMs));
    QList<QRect> shown;
    for (QLabel* label : bar->findChildren<QLabel*>())
        if (label->isVisible() && label->y() == warning->y())
            shown << label->geometry();
    std::sort(shown.begin(), shown.end(), [](QRect a, QRect b) { return a.x() < b.x(); });
    for (qsizetype i = 1; i < shown.size(); ++i)
        EXPECT_GT(shown[i].left(), shown[i - 1].right()) << "labels " << i - 1 << " and " << i;
    EXPECT_GE(warning->width(), warning->sizeHint().width());
}

// URL.csv a directory: "解析スタート" says why no record can be written,
// once, before the first is lost, and starts only if the user wants it;
// each record not written is then counted with the reason, beside a
// warning icon. A page that cannot be fetched: counted, and its reason
// shown until a page arrives well.
TEST_F(ShellTest, StatusBarCountsAFailureWithItsReasonAndRecordsNotWritten) {
    std::filesystem::create_directory(logPath);
    MainWindow& frame = CreateMainWindowPastDialog();
    CrawlOf(frame).setStartUrl("http://127.0.0.1:1/");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList entries = EnabledEntries(frame); // URL.csv there, not a file
            return entries.contains("URL.csv のフォルダを開く") &&
                   !entries.contains("URL.csv を開く");
        },
        kActionTimeoutMs));
    QString warning;
    WhenModalShows([&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        warning = box->text();
        box->button(QMessageBox::No)->click();
    });
    ChooseMenuEntry(&frame, "解析スタート");
    EXPECT_TRUE(warning.contains("同じ名前のフォルダがあります")) << warning.toStdString();
    EXPECT_EQ(frame.runner().state(), CrawlState::Idle) << "the crawl started after No";

    testing::internal::CaptureStderr();
    ChooseMenuEntry(&frame, "解析スタート"); // asked once: it starts now
    ASSERT_TRUE(StatusShows(
        frame, "待機中 | 訪問 1 ページ ・ 失敗 1 ・ HTTP エラー 0 ・ 未訪問リンク 0 ・ "))
        << StatusText(frame).toStdString();
    EXPECT_TRUE(StatusShows(
        frame, " ページ/秒 ・ 記録 0 件 | "
               "最後の失敗: http://127.0.0.1:1/ を取得できません: 接続できません | <icon> | "
               "警告: 書き込めなかった記録 1 件（同じ名前のフォルダがあります） | 記録先: " +
                   QString::fromStdString(logPath)))
        << StatusText(frame).toStdString();

    AimAtSite(frame);
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !StatusText(frame).contains("訪問 1 ページ"); },
                                kActionTimeoutMs));
    EXPECT_FALSE(StatusText(frame).contains("最後の失敗")) << StatusText(frame).toStdString();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QString shown = StatusText(frame);
            return shown.contains("<icon> | 警告: 書き込めなかった記録 ") &&
                   !shown.contains("書き込めなかった記録 1 件");
        },
        kActionTimeoutMs))
        << StatusText(frame).toStdString();
    testing::internal::GetCapturedStderr();
}

// A larger font (a screen of another scale) makes the status bar tall
// enough for both rows of it, and its counts ask for room for their text;
// the font it had brings its height back.
TEST_F(ShellTest, StatusBarFollowsItsFont) {
    MainWindow& frame = CreateMainWindowPastDialog();
    QStatusBar* bar = frame.statusBar();
    const QFont original = bar->font();
    const int originalHeight = bar->height();
    QFont larger = original;
    larger.setPointSizeF(larger.pointSizeF() * 2);
    bar->setFont(larger);
    const int rowHeight = QFontMetrics(larger).height();
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->height() >= 2 * rowHeight; }))
        << bar->height() << " for rows of " << rowHeight;
    for (QLabel* label : bar->findChildren<QLabel*>()) {
        if (!label->text().isEmpty() &&
            label->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored) {
            EXPECT_GE(label->sizeHint().width(),
                      QFontMetrics(larger).horizontalAdvance(label->text()))
                << label->text().toStdString();
        }
    }
    bar->setFont(original);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->height() == originalHeight; }))
        << bar->height() << " instead of " << originalHeight;
}

TEST_F(ShellTest, PaintShowsTheCanvasAndWhiteBeyondIt) {
    MainWindow& frame = CreateMainWindowPastDialog();
    frame.resultsDock().hide(); // the whole client area for the results screen
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
    frame.resultsDock().hide();
    frame.resize(kCanvasWidth,
                 kCanvasHeight + frame.menuBar()->height() + frame.statusBar()->height());
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

// The window opens no larger than the screen (the test screen is smaller than
// the results): scrolled to its ends, the view shows the canvas' top right
// and bottom right pixels. Tab puts a mark on the view; the canvas keeps its
// pixels.
TEST_F(ShellTest, ASmallWindowScrollsToEveryPixelAndTabMarksTheResults) {
    MainWindow& frame = CreateMainWindowPastDialog();
    frame.resultsDock().hide(); // its controls are Tab's other stops
    ASSERT_TRUE(frame.screen()->availableGeometry().size().boundedTo(frame.size()) == frame.size());
    ASSERT_LT(frame.width(), kCanvasWidth);
    auto* area = qobject_cast<QScrollArea*>(frame.centralWidget());
    ASSERT_NE(area, nullptr);
    auto* view = qobject_cast<ResultsView*>(area->widget());
    view->showLine({0, false, std::string(300, 'W')}); // past the right edge
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    const QSize seen = area->viewport()->size();
    for (int top : {0, kCanvasHeight - seen.height()}) {
        area->verticalScrollBar()->setValue(top);
        const QImage shown =
            area->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(shown == view->screen().canvas().BackBuffer().copy(
                                 QRect(QPoint(kCanvasWidth - seen.width(), top), seen)))
            << "scrolled to " << top;
    }
    EXPECT_EQ(view->mapTo(area->viewport(), QPoint(kCanvasWidth - 1, kCanvasHeight - 1)),
              area->viewport()->rect().bottomRight());

    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    area->verticalScrollBar()->setValue(0);
    const QPoint corner = view->mapTo(area->viewport(), QPoint(kCanvasWidth - 1, 0));
    EXPECT_EQ(area->viewport()->grab().toImage().pixelColor(corner), QColor(Qt::black));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &frame,
                    Qt::Key_Tab);
    EXPECT_TRUE(view->hasFocus());
    const QImage marked = area->viewport()->grab().toImage();
    const QColor mark = marked.pixelColor(corner);
    EXPECT_EQ(marked.pixelColor(corner + QPoint(-1, 1)), mark) << "the mark is one pixel thin";
    EXPECT_GE(WcagContrast(mark, Qt::black), 3.0) << mark.name().toStdString();
    // A desktop highlight too pale to see on white is not taken as it is.
    QPalette pale = view->palette();
    pale.setColor(QPalette::Highlight, QColor(0xff, 0xff, 0x80));
    view->setPalette(pale);
    const QColor paleMark = area->viewport()->grab().toImage().pixelColor(corner);
    EXPECT_GE(WcagContrast(paleMark, Qt::black), 3.0) << paleMark.name().toStdString();
    EXPECT_GE(WcagContrast(paleMark, Qt::white), 3.0) << paleMark.name().toStdString();
    EXPECT_EQ(view->screen().canvas().BackBuffer().pixelColor(kCanvasWidth - 1, 0),
              QColor(Qt::black));
}

// A desktop with no program for URL.csv or its folder: the window says so.
TEST_F(ShellTest, ADesktopThatCannotOpenUrlCsvIsToldInTheWindow) {
    std::ofstream(logPath).put('\n');
    MainWindow& frame = CreateMainWindowPastDialog();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return EnabledEntries(frame).contains("URL.csv のフォルダを開く"); },
                        kActionTimeoutMs));
    QString told;
    WhenModalShows([&](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        ASSERT_NE(box, nullptr);
        told = box->windowTitle() + "|" + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    testing::internal::CaptureStderr();
    ChooseMenuEntry(&frame, "URL.csv のフォルダを開く"); // the offscreen desktop opens nothing
    const std::string printed = testing::internal::GetCapturedStderr();
    const QString folder = QFileInfo(QString::fromStdString(logPath)).absolutePath();
    EXPECT_EQ(told, "開けません|" + folder + " を開くプログラムがデスクトップにありません。");
    EXPECT_NE(printed.find("the desktop has no program that opens it"), std::string::npos);
}

TEST_F(ShellTest, CloseCtrlQAndTheExitEntryAskFirstAndNoKeepsTheWindow) {
    MainWindow& frame = CreateMainWindowPastDialog();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QString shown;
    AnswerQuitQuestion(actions, shown, QMessageBox::No);
    QTest::keyClick(&frame, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(shown, kQuestionShown);

    shown.clear();
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
    CrawlOf(frame).setStartUrl("http://127.0.0.1:1/kept");

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
    EXPECT_EQ(CrawlOf(frame).progress().pagesVisited, 0u);
    EXPECT_EQ(PagesFetched(), 0);
    EXPECT_TRUE(frame.isVisible());
}

// A closed port, a page and its broken link: a row each as each step ends,
// with the status or the failure's words, the bytes, the links, the KEY and
// the record's fate; sorted by status, filtered by URL and by failures only.
TEST_F(ShellTest, TheTableListsEachPageWithItsStatusAndCauseSortedAndFiltered) {
    const std::string brokenPage =
        "<title>Broken</title><a href=\"" + site.Url("/gone/") + "\">gone</a>";
    site.AddRaw("/broken/", brokenPage);
    MainWindow& frame = CreateMainWindowPastDialog();
    ResultsPanel& panel = frame.resultsPanel();
    ASSERT_TRUE(frame.resultsDock().isVisible());
    testing::internal::CaptureStderr();
    CrawlOf(frame).setStartUrl("http://127.0.0.1:1/");
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.rows().rowCount() == 1; }, kActionTimeoutMs));
    CrawlOf(frame).setStartUrl(site.Url("/broken/"));
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.rows().rowCount() == 3; }, kActionTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !TableRows(panel).join("").contains("書き込み待ち"); },
                                kActionTimeoutMs));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(StatusShows(frame, "訪問 3 ページ ・ 失敗 1 ・ HTTP エラー 1 ・ "));

    QStringList rows = TableRows(panel);
    for (QString& row : rows)
        row.remove(QRegularExpression(" \\| \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d")); // the time
    const QString broken = QString::fromStdString(site.Url("/broken/"));
    const QString gone = QString::fromStdString(site.Url("/gone/"));
    const QString brokenBytes = QString::number(brokenPage.size());
    EXPECT_EQ(rows, QStringList({
                        "1 | http://127.0.0.1:1/ |  | http://127.0.0.1:1/ を取得できません: "
                        "接続できません | 0 | 0 | スタートページ | 書き込み済み",
                        "2 | " + broken + " | Broken | 200 | " + brokenBytes +
                            " | 1 | スタートページ | 書き込み済み",
                        "3 | " + gone + " |  | 404 | 0 | 0 | gone | 書き込み済み",
                    }));

    panel.table().sortByColumn(ResultsTableModel::Status, Qt::AscendingOrder);
    EXPECT_TRUE(TableRows(panel)[0].startsWith("2 | ") && TableRows(panel)[2].startsWith("1 | "));
    QTest::keyClicks(&panel.filterField(), "BROKEN");
    EXPECT_EQ(TableRows(panel).size(), 1);
    panel.filterField().clear();
    panel.failuresOnly().click();
    ASSERT_EQ(TableRows(panel).size(), 2);
    EXPECT_TRUE(TableRows(panel)[0].startsWith("3 | ") && TableRows(panel)[1].startsWith("1 | "));
}

// Ctrl+C copies the selected rows as tab-separated lines; the context menu
// copies an address and hands a page to the desktop's browser, and says so
// in the window when it cannot; the export holds a header and every row,
// and never writes URL.csv.
TEST_F(ShellTest, TheTableCopiesOpensAndExportsItsRows) {
    MainWindow& frame = CreateMainWindowPastDialog();
    ResultsPanel& panel = frame.resultsPanel();
    ResultsTable& table = panel.table();
    AimAtSite(frame);
    ChooseMenuEntry(&frame, "解析スタート");
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.rows().rowCount() >= 2; }, kActionTimeoutMs));
    CrawlOf(frame).pause(); // the step in flight ends, no other begins
    ASSERT_TRUE(QTest::qWaitFor([&] { return !CrawlOf(frame).stepInFlight(); }, kActionTimeoutMs));
    CrawlOf(frame).setStartUrl("not an address");
    ASSERT_TRUE(LoggedRecords() >= 2);
    const std::string logBefore = ReadWholeFile(logPath);

    table.selectRow(0);
    table.setFocus();
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);
    const QString home = QString::fromStdString(site.Url("/"));
    EXPECT_TRUE(QRegularExpression("^1\\t\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\t" +
                                   QRegularExpression::escape(home) +
                                   "\\tHome\\t200\\t\\d+\\t3\\tスタートページ\\t"
                                   "(書き込み済み|書き込み待ち)\\n$")
                    .match(QApplication::clipboard()->text())
                    .hasMatch())
        << QApplication::clipboard()->text().toStdString();

    ChooseFromContextMenu(actions, table, 1, "アドレスをコピー");
    const QString second = panel.rows().url(1);
    EXPECT_EQ(QApplication::clipboard()->text(), second);
    DesktopOpener browser("http");
    ChooseFromContextMenu(actions, table, 1, "ブラウザで開く");
    EXPECT_EQ(browser.opened, QList<QUrl>({QUrl(second)}));
    EXPECT_EQ(panel.noteText(), "");

    const std::string exported = logDir.File("pages.csv");
    ASSERT_TRUE(panel.exportTo(QString::fromStdString(exported)));
    const std::vector<CsvRecord> lines = ParseCsv(ReadWholeFile(exported));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(panel.rows().rowCount()) + 1);
    EXPECT_EQ(lines[0],
              CsvRecord({"#", "時刻", "URL", "TITLE", "状態", "バイト", "リンク", "KEY", "記録"}));
    EXPECT_EQ(lines[1][2], home.toStdString());
    EXPECT_EQ(lines[1][6], "3");
    EXPECT_FALSE(panel.exportTo(QString::fromStdString(logPath)));
    EXPECT_TRUE(panel.noteText().contains("クロールの記録先")) << panel.noteText().toStdString();
    EXPECT_EQ(ReadWholeFile(logPath), logBefore);

    testing::internal::CaptureStderr(); // the bad address's failure
    CrawlOf(frame).resume();
    ChooseMenuEntry(&frame, "解析スタート");
    const auto rowOfBadAddress = [&] {
        for (int row = panel.rows().rowCount() - 1; row >= 0; --row)
            if (panel.rows().url(row) == "not an address")
                return row;
        return -1;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return rowOfBadAddress() >= 0; }, kActionTimeoutMs));
    CrawlOf(frame).stop();
    const int last = panel.shown().mapFromSource(panel.rows().index(rowOfBadAddress(), 0)).row();
    ChooseFromContextMenu(actions, table, last, "ブラウザで開く");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(browser.opened.size(), 1);
    EXPECT_TRUE(panel.noteText().startsWith("開けませんでした: not an address"))
        << panel.noteText().toStdString();
}

// The table is hidden and shown from the menu, Ctrl+T too, and the next
// window remembers the choice; the results screen keeps its place.
TEST_F(ShellTest, TheTableIsHiddenAndShownAndTheChoiceIsRemembered) {
    MainWindow& frame = CreateMainWindowPastDialog();
    const QPoint screenAt = frame.centralWidget()->mapTo(&frame, QPoint());
    ChooseMenuEntry(&frame, "訪問したページの表");
    EXPECT_FALSE(frame.resultsDock().isVisible());
    EXPECT_EQ(frame.centralWidget()->mapTo(&frame, QPoint()), screenAt);
    window.reset();

    MainWindow& next = CreateMainWindowPastDialog();
    EXPECT_FALSE(next.resultsDock().isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&next));
    QTest::keyClick(&next, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(next.resultsDock().isVisible());
}

// Ctrl++ and Ctrl+- zoom the results screen in steps, within its range, and
// Ctrl+0 brings it back; the next window opens at the zoom last chosen. The
// window, frame included, stays on the screen's free area.
TEST_F(ShellTest, ZoomKeysEnlargeTheResultsScreenAndTheZoomIsRemembered) {
    MainWindow& frame = CreateMainWindowPastDialog();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    EXPECT_TRUE(frame.screen()->availableGeometry().contains(frame.frameGeometry()));
    auto* view =
        qobject_cast<ResultsView*>(qobject_cast<QScrollArea*>(frame.centralWidget())->widget());
    for (int step = 0; step < 10; ++step)
        QTest::keyClick(&frame, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), kMaxZoomPercent);
    QTest::keyClick(&frame, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view->zoom(), kMaxZoomPercent - kZoomStepPercent);
    EXPECT_EQ(view->minimumSize(), QSize(kCanvasWidth, kCanvasHeight) * 275 / 100);
    window.reset();

    MainWindow& next = CreateMainWindowPastDialog();
    auto* zoomed =
        qobject_cast<ResultsView*>(qobject_cast<QScrollArea*>(next.centralWidget())->widget());
    EXPECT_EQ(zoomed->zoom(), kMaxZoomPercent - kZoomStepPercent);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&next));
    QTest::keyClick(&next, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(zoomed->zoom(), kMinZoomPercent);
}

#include "main_window_test.moc"
