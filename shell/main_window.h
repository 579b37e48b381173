// The main window: the menu, the results screen in a scroll area, the status
// bar, the crawl it drives, and the question before quitting.
#pragma once

#include "crawl/crawl_runner.h"
#include "shell/log_file_state.h"

#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <string>

class CrawlStatusBar;
class ResultsView;

// The status bar is refreshed this often, and at once whenever the crawl
// begins, pauses, resumes or goes idle. Twice a second reads as live and
// keeps the refresh, which draws its text anew, to about 2 % of the GUI
// thread's time at ten 1,000,000-byte pages a second.
constexpr int kStatusPeriodMs = 500;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Makes the results screen, seeds the crawl and sets the default URL, asks for
    // the start URL, then starts the tick: the user meets the start dialog
    // before the window is shown. Records go to the file at logPath.
    MainWindow(std::uint32_t seed, const std::string& logPath);

    // Kept for tests, which reach the crawl through it.
    CrawlRunner& runner() { return runner_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createResultsArea();
    void createMenus();
    void createStatusBar();
    void fitToScreen();
    void showStartDialog();
    void showAboutDialog();
    void startCrawl();
    bool askToStartUnwritable();
    void togglePause();
    void showCrawlState(CrawlState state);
    void refreshStatus();
    void updateLogEntries();
    void openLog(const QString& path);
    bool askToQuit();

    CrawlRunner runner_;
    const QString logFilePath_; // URL.csv's full path
    ResultsView* view_;
    CrawlStatusBar* status_ = nullptr;
    QAction* pauseEntry_ = nullptr;
    QAction* stopEntry_ = nullptr;
    QAction* openLogEntry_ = nullptr;
    QAction* openFolderEntry_ = nullptr;
    QTimer statusTimer_;
    LogFileState logFile_;
    bool unwritableWarned_ = false;
};
