// The fixture of the shell tests: a small site on 127.0.0.1 to crawl, the
// main class registered, the crawl state reset, and the main window made on
// request with its start dialog answered.
#pragma once

#include "support/test_site.h"
#include "window.h"

#include <gtest/gtest.h>

#include <string>

class QMainWindow;

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the main window; the start dialog of WM_CREATE is
    // closed with OK, unchanged.
    HWND CreateMainWindowPastDialog();
    QMainWindow* MainFrame() const;
    // Puts the site's home page into the current URL.
    void AimAtSite();

    int PagesFetched() const { return static_cast<int>(site.RequestedPaths().size()); }
    int LoggedRecords() const;

    TestSite site;
};
