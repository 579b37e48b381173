// Set-up and tear-down shared by the shell tests.
#include "shell_fixture.h"

#include "crawl_state.h"
#include "crawl_step.h"
#include "main_window.h"
#include "resources.h"
#include "ui_driver.h"

#include <QApplication>
#include <QMainWindow>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

void AddCyclicSite(TestSite& site) {
    const std::vector<SiteLink> links = {{"/a/", "A"}, {"/b/", "B"}, {"/c/", "C"}};
    site.AddPage("/", "Home", links);
    site.AddPage("/a/", "Page A", links);
    site.AddPage("/b/", "Page B", links);
    site.AddPage("/c/", "Page C", links);
}

} // namespace

void ShellTest::SetUp() {
    AddCyclicSite(site);
    std::remove(kResultLogName);
    ResetCrawlState();
    g_shell = ShellState{&g_module, nullptr};
    ASSERT_NE(RegisterMainClass(&g_module), 0);
}

void ShellTest::TearDown() {
    CancelPendingActions();
    if (IsWindow(g_shell.mainWindow))
        DestroyWindow(g_shell.mainWindow);
    UnregisterClassA(kMainClassName, &g_module);
    DrainMessages();
}

HWND ShellTest::CreateMainWindowPastDialog() {
    WhenModalShows([](QWidget* dialog) { ClickButton(dialog, IDOK); });
    EXPECT_TRUE(CreateMainWindow(&g_module, SW_SHOW));
    return g_shell.mainWindow;
}

QMainWindow* ShellTest::MainFrame() const {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* frame = qobject_cast<QMainWindow*>(widget); frame && frame->isVisible())
            return frame;
    return nullptr;
}

void ShellTest::AimAtSite() {
    std::string url = site.Url("/");
    std::strncpy(g_crawlState.currentUrl, url.c_str(), kUrlCapacity - 1);
}

int ShellTest::LoggedRecords() const {
    std::ifstream log(kResultLogName);
    return static_cast<int>(
        std::count(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>(), '\n'));
}
