// Set-up and tear-down shared by the shell tests.
#include "shell/shell_fixture.h"

#include "shell/ui_driver.h"
#include "shell/window_settings.h"
#include "support/written_log.h"

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

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
    WindowSettings().clear(); // every test meets the window as a new user does
    AddCyclicSite(site);
}

void ShellTest::TearDown() {
    window.reset();
}

MainWindow& ShellTest::CreateMainWindowPastDialog() {
    WhenModalShows([](QWidget* dialog) { ClickButton(dialog, "OK"); });
    window = std::make_unique<MainWindow>(kSeed, logPath);
    window->show();
    return *window;
}

CrawlRunner& ShellTest::CrawlOf(MainWindow& frame) {
    return frame.runner();
}

void ShellTest::AimAtSite(MainWindow& frame) {
    CrawlOf(frame).setStartUrl(site.Url("/"));
}

int ShellTest::LoggedRecords() {
    if (window) {
        EXPECT_TRUE(CrawlOf(*window).flushRecords(kLogWait));
    }
    std::ifstream log(logPath);
    return static_cast<int>(
        std::count(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>(), '\n'));
}
