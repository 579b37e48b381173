// The main window's menus, shortcuts, dialogs, status and closing; the
// results view draws the lines, the status bar words the progress.
#include "shell/main_window.h"

#include "shell/about_dialog.h"
#include "shell/crawl_status_bar.h"
#include "shell/results_panel.h"
#include "shell/results_view.h"
#include "shell/start_dialog.h"
#include "shell/window_settings.h"
#include "shell/write_problem.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMoveEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QShowEvent>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <iostream>

using namespace torvesk::crawl;
using namespace torvesk::display;
using namespace torvesk::engine;

namespace torvesk::shell {

namespace {

// A menu entry's words: its text, the tip shown when the pointer rests on
// it and on the status bar, and its key, if it has one.
struct Entry {
    QString text;
    QString tip;
    QKeySequence key = {};
};

template <typename Receiver, typename Slot>
QAction* AddEntry(QMenu* menu, const Entry& entry, Receiver* receiver, Slot slot) {
    QAction* action = menu->addAction(entry.text);
    action->setShortcut(entry.key);
    action->setToolTip(entry.tip);
    action->setStatusTip(entry.tip);
    QObject::connect(action, &QAction::triggered, receiver, slot);
    return action;
}

} // namespace

MainWindow::MainWindow(std::uint32_t seed, const std::string& logPath)
    : runner_(logPath, seed, {}, ReportOnStandardError), // error lines go to standard error
      logFilePath_(QFileInfo(QFile::decodeName(logPath.c_str())).absoluteFilePath()),
      view_(new ResultsView), logFile_(logPath) {
    setWindowTitle(QStringLiteral("Torvesk"));
    createResultsArea();
    createResultsDock();
    createMenus();
    createStatusBar();
    fitToScreen();
    connect(&runner_, &CrawlRunner::lineReady, view_, &ResultsView::showLine);
    connect(&runner_, &CrawlRunner::pageVisited, panel_, &ResultsPanel::addPage);
    connect(&runner_, &CrawlRunner::recordSettled, panel_, &ResultsPanel::settleRecord);
    connect(&runner_, &CrawlRunner::stateChanged, this, &MainWindow::showCrawlState);
    showStartDialog();
    runner_.startTicking();
}

// The canvas sits at the area's top left; a smaller window scrolls over it,
// a larger one shows white beyond it.
void MainWindow::createResultsArea() {
    auto* area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus); // Tab goes straight to the results
    area->setWidgetResizable(true);
    area->setWidget(view_);
    setCentralWidget(area);
}

// Below the results screen, so that the screen keeps its place at the top
// left; hidden or shown as the user last left it.
void MainWindow::createResultsDock() {
    panel_ = new ResultsPanel(logFilePath_);
    dock_ = new QDockWidget(tr("訪問したページ"), this);
    dock_->setObjectName(QStringLiteral("resultsDock"));
    dock_->setWidget(panel_);
    dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::BottomDockWidgetArea, dock_);
    dock_->setVisible(WindowSettings().value(kTableShownKey, true).toBool());
    // Remembered as the user chooses, and as the window closes, the dock's
    // own close button included; a window going away hides its dock too.
    connect(dock_->toggleViewAction(), &QAction::triggered, this,
            [](bool shown) { WindowSettings().setValue(kTableShownKey, shown); });
}

// F5 starts as it reloads in a browser, Ctrl+L sets the address as it
// reaches a browser's address field, Space pauses as in media players,
// Escape stops as in a browser, Ctrl+Q quits as on every Linux desktop.
void MainWindow::createMenus() {
    QMenu* menu = menuBar()->addMenu(tr("メニュー"));
    menu->setToolTipsVisible(true);
    AddEntry(menu,
             {tr("再設定"), tr("開始アドレスを入力するダイアログを開きます"), Qt::CTRL | Qt::Key_L},
             this, &MainWindow::showStartDialog);
    AddEntry(menu,
             {tr("解析スタート"), tr("開始アドレスから解析を始めます（一時停止中なら再開します）"),
              Qt::Key_F5},
             this, &MainWindow::startCrawl);
    pauseEntry_ = AddEntry(
        menu, {tr("一時停止"), tr("解析を一時停止します。もう一度選ぶと再開します"), Qt::Key_Space},
        this, &MainWindow::togglePause);
    stopEntry_ =
        AddEntry(menu,
                 {tr("解析停止"), tr("ダウンロード中のページを破棄し、待っているリンクを捨てます"),
                  Qt::Key_Escape},
                 &runner_, &CrawlRunner::stop);
    menu->addSeparator();
    openLogEntry_ = AddEntry(
        menu,
        {tr("URL.csv を開く"), tr("記録ファイル URL.csv をデスクトップのプログラムで開きます")},
        this, [this] { openLog(logFilePath_); });
    openFolderEntry_ = AddEntry(menu,
                                {tr("URL.csv のフォルダを開く"),
                                 tr("URL.csv のあるフォルダをファイルマネージャで開きます")},
                                this, [this] { openLog(QFileInfo(logFilePath_).absolutePath()); });
    menu->addSeparator();
    AddEntry(menu,
             {tr("アプリケーションの終了(&X)"), tr("確かめてから Torvesk を終了します"),
              Qt::CTRL | Qt::Key_Q},
             this, &QWidget::close);
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateLogEntries);
    updateLogEntries();
    createViewMenu();
    QMenu* help = menuBar()->addMenu(tr("ヘルプ"));
    help->setToolTipsVisible(true);
    AddEntry(
        help,
        {tr("バージョン情報 ...(&A)"), tr("Torvesk のバージョンと表示言語の選び方を表示します")},
        this, &MainWindow::showAboutDialog);
    // F10 opens the menu bar, as in other desktop programs.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
}

// The zoom keys of every browser; Ctrl+= too, which is Ctrl++ without Shift.
void MainWindow::createViewMenu() {
    QMenu* view = menuBar()->addMenu(tr("表示"));
    view->setToolTipsVisible(true);
    QAction* table = dock_->toggleViewAction();
    table->setText(tr("訪問したページの表"));
    table->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    const QString tableTip = tr("訪問したページの表を表示または非表示にします");
    table->setToolTip(tableTip);
    table->setStatusTip(tableTip);
    view->addAction(table);
    view->addSeparator();
    QAction* zoomIn = AddEntry(view, {tr("拡大"), tr("解析結果の画面を拡大します")}, this,
                               [this] { zoomBy(kZoomStepPercent); });
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    AddEntry(view, {tr("縮小"), tr("解析結果の画面を縮小します"), QKeySequence::ZoomOut}, this,
             [this] { zoomBy(-kZoomStepPercent); });
    AddEntry(view, {tr("等倍"), tr("解析結果の画面を 100 % に戻します"), Qt::CTRL | Qt::Key_0},
             this, [this] { setZoom(kMinZoomPercent); });
    view_->setZoom(WindowSettings().value(kZoomKey, kMinZoomPercent).toInt());
}

void MainWindow::zoomBy(int stepPercent) {
    setZoom(view_->zoom() + stepPercent);
}

void MainWindow::setZoom(int percent) {
    view_->setZoom(percent);
    WindowSettings().setValue(kZoomKey, view_->zoom());
}

void MainWindow::createStatusBar() {
    status_ = new CrawlStatusBar(logFilePath_);
    setStatusBar(status_);
    statusTimer_.setInterval(kStatusPeriodMs);
    connect(&statusTimer_, &QTimer::timeout, this, &MainWindow::refreshStatus);
    statusTimer_.start();
    showCrawlState(runner_.state());
}

// The whole results area and the status bar when the screen has room for
// them, else as much as it has: the scroll bars reach the rest. The frame
// is known only once shown (fitFrameToScreen).
void MainWindow::fitToScreen() {
    const int table =
        dock_->isHidden()
            ? 0
            : kTableHeight + style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent);
    const int height =
        menuBar()->sizeHint().height() + kCanvasHeight + table + status_->sizeHint().height();
    resize(QSize(kCanvasWidth, height).boundedTo(screen()->availableGeometry().size()));
    resizeDocks({dock_}, {kTableHeight}, Qt::Vertical);
}

// The frame and title bar on the screen too: the window shrinks by them and
// moves onto the screen's free area when it hangs over its edge.
void MainWindow::fitFrameToScreen() {
    const QRect free = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    resize(size().boundedTo(free.size() - frame));
    QRect outer = frameGeometry();
    outer.moveLeft(std::clamp(outer.left(), free.left(), free.right() - outer.width() + 1));
    outer.moveTop(std::clamp(outer.top(), free.top(), free.bottom() - outer.height() + 1));
    if (outer.topLeft() != frameGeometry().topLeft())
        move(outer.topLeft());
}

// As the window first shows, with the frame the platform knows by then.
void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && !shownOnce_) {
        shownOnce_ = true;
        fitFrameToScreen();
    }
}

// An X11 window manager tells the frame's size only after the window has
// shown, and moves the window as it does: once the frame is known, it is
// fitted again.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (shownOnce_ && !frameFitted_ && frameGeometry().size() != size()) {
        frameFitted_ = true;
        fitFrameToScreen();
    }
}

// Steps go on while the dialog is open; closing it, by any button, stores
// the field's text.
void MainWindow::showStartDialog() {
    StartDialog dialog(runner_.currentUrl(), this);
    dialog.exec();
    runner_.setStartUrl(dialog.UrlBytes());
}

void MainWindow::showAboutDialog() {
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::togglePause() {
    if (runner_.state() == CrawlState::Paused)
        runner_.resume();
    else
        runner_.pause();
}

// One entry pauses and resumes; neither it nor stop has anything to do
// while the crawl is idle.
void MainWindow::showCrawlState(CrawlState state) {
    pauseEntry_->setText(state == CrawlState::Paused ? tr("再開") : tr("一時停止"));
    pauseEntry_->setEnabled(state != CrawlState::Idle);
    stopEntry_->setEnabled(state != CrawlState::Idle);
    refreshStatus();
}

void MainWindow::refreshStatus() {
    const CrawlProgress progress = runner_.progress();
    status_->showProgress(progress, logFile_.writeProblem());
    updateLogEntries();
}

// Shows the newest answer and asks again. Only what the file is is asked,
// never opening it (a FIFO would hold the window), and never on this thread
// (a hung mount would). Only a plain file is handed to a program to show.
void MainWindow::updateLogEntries() {
    openLogEntry_->setEnabled(logFile_.isFile());
    openFolderEntry_->setEnabled(logFile_.exists());
    logFile_.ask();
}

// The desktop's default program opens it; when none does, a message in the
// window and a line on standard error say so, and the window carries on.
void MainWindow::openLog(const QString& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return;
    std::cerr << "torvesk: could not open " << QFile::encodeName(path).constData()
              << ": the desktop has no program that opens it\n";
    QMessageBox::warning(this, tr("開けません"),
                         tr("%1 を開くプログラムがデスクトップにありません。").arg(path));
}

// A crawl whose records cannot be written is said before the first record
// is lost, once; the user may start it all the same.
void MainWindow::startCrawl() {
    if (!unwritableWarned_ && logFile_.writeProblem() != 0) {
        unwritableWarned_ = true;
        if (!askToStartUnwritable())
            return;
    }
    runner_.startCrawl();
}

bool MainWindow::askToStartUnwritable() {
    QMessageBox box(QMessageBox::Warning, tr("記録できません"),
                    tr("%1 に記録を書き込めません: %2\n解析を始めても記録は残りません。")
                        .arg(logFilePath_, WriteProblemInWords(logFile_.writeProblem())),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(tr("それでも始める(&S)"));
    box.button(QMessageBox::No)->setText(tr("始めない(&N)"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// The buttons read in the window's language, like the rest of it.
bool MainWindow::askToQuit() {
    QMessageBox box(QMessageBox::Question, tr("確認"), tr("終了してもよろしいですか"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.button(QMessageBox::Yes)->setText(tr("はい(&Y)"));
    box.button(QMessageBox::No)->setText(tr("いいえ(&N)"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!askToQuit()) {
        event->ignore();
        return;
    }
    WindowSettings().setValue(kTableShownKey, !dock_->isHidden());
    runner_.cancelFetch();
    event->accept();
}

} // namespace torvesk::shell
