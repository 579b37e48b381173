// The main window: the menu, the results screen, the crawl it drives, and
// the question before quitting.
#pragma once

#include "shell/crawl_runner.h"

#include <QMainWindow>

#include <cstdint>
#include <string>

class ResultsView;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Makes the results screen, seeds the crawl and sets the default URL, asks for
    // the start URL, then starts the tick: the user meets the start dialog
    // before the window is shown. Records go to the file at logPath.
    MainWindow(std::uint32_t seed, std::string logPath);

    // Kept for tests, which reach the crawl through it.
    CrawlRunner& runner() { return runner_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void showStartDialog();
    void showAboutDialog();
    bool askToQuit();

    CrawlRunner runner_;
    ResultsView* view_;
};
