// The fixture of the shell tests: a small site on 127.0.0.1 to crawl, a
// URL.csv in a fresh directory, and the main window made on request with its start dialog
// answered.
#pragma once

#include "shell/main_window.h"
#include "shell/ui_driver.h"
#include "support/temp_dir.h"
#include "support/test_site.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class ShellTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kSeed = 20261207;

    void SetUp() override;
    void TearDown() override;

    // Creates and shows the main window; the start dialog it opens first is
    // closed with OK, unchanged.
    torvesk::shell::MainWindow& CreateMainWindowPastDialog();
    // The crawl the window runs.
    torvesk::crawl::CrawlRunner& CrawlOf(torvesk::shell::MainWindow& frame);
    // Puts the site's home page into the current URL.
    void AimAtSite(torvesk::shell::MainWindow& frame);

    // The fixture's actions on the event loop (see PendingActions).
    void WhenTrue(std::function<bool()> condition, std::function<void()> action) {
        actions.WhenTrue(std::move(condition), std::move(action));
    }
    void WhenModalShows(std::function<void(QWidget*)> action) {
        actions.WhenModalShows(std::move(action));
    }

    int PagesFetched() const { return static_cast<int>(site.RequestCount()); }
    // Records in URL.csv, once the window's crawl has written all it finished.
    int LoggedRecords();

    TestSite site;
    TempDir logDir;
    const std::string logPath = logDir.File("URL.csv");
    std::unique_ptr<torvesk::shell::MainWindow> window;
    PendingActions actions;
};
