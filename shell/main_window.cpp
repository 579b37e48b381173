// The main window's menus, dialogs and closing; the results view draws the lines.
#include "shell/main_window.h"

#include "shell/about_dialog.h"
#include "shell/results_view.h"
#include "shell/start_dialog.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

MainWindow::MainWindow(std::uint32_t seed, std::string logPath)
    : runner_(std::move(logPath)), view_(new ResultsView(this)) {
    setWindowTitle(QStringLiteral("Torvesk"));
    setCentralWidget(view_);
    createMenus();
    connect(&runner_, &CrawlRunner::lineReady, view_, &ResultsView::showLine);
    runner_.crawler().CrawlInit(seed);
    showStartDialog();
    runner_.startTicking();
}

void MainWindow::createMenus() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("メニュー"));
    menu->addAction(QStringLiteral("再設定"), this, &MainWindow::showStartDialog);
    menu->addAction(QStringLiteral("解析スタート"), &runner_, &CrawlRunner::startCrawl);
    menu->addAction(QStringLiteral("アプリケーションの終了(&X)"), this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    help->addAction(QStringLiteral("バージョン情報 ...(&A)"), this, &MainWindow::showAboutDialog);
}

// Steps go on while the dialog is open; closing it, by any button, stores
// the field's text.
void MainWindow::showStartDialog() {
    StartDialog dialog(runner_.crawler().currentUrl(), this);
    dialog.exec();
    runner_.crawler().SetCurrentUrl(dialog.UrlBytes());
}

void MainWindow::showAboutDialog() {
    AboutDialog dialog(this);
    dialog.exec();
}

// The buttons read in Japanese whatever the desktop's language, like the
// rest of the interface.
bool MainWindow::askToQuit() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"),
                    QStringLiteral("終了してもよろしいですか"), QMessageBox::Yes | QMessageBox::No,
                    this);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!askToQuit()) {
        event->ignore();
        return;
    }
    runner_.cancelFetch();
    event->accept();
}
