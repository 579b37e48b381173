// The download driven through the program's window: the main window is made
// as at start-up with its start dialog answered with the page's URL, and
// "解析スタート" is chosen from the menu as a user chooses it.
#include "bench/download_driver.h"

#include "engine/crawler.h"
#include "shell/main_window.h"
#include "shell/ui_driver.h"

#include <QApplication>
#include <QLineEdit>

#include <ctime>
#include <fstream>
#include <iterator>

namespace {

// A record is a line that starts with the URL and a comma.
bool HasRecordFor(const std::string& url) {
    std::ifstream log(kResultLogName, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(log), {});
    const std::string start = url + ",";
    return text.starts_with(start) || text.find("\n" + start) != std::string::npos;
}

} // namespace

bool CrawlOnePage(const std::string& url, const DownloadHooks& hooks, int timeoutMs) {
    WhenModalShows([url](QWidget* dialog) {
        UrlField(dialog)->setText(QString::fromStdString(url));
        ClickButton(dialog, "OK");
    });
    MainWindow window(static_cast<std::uint32_t>(std::time(nullptr)));
    window.show();
    bool recorded = false;
    WhenTrue([] { return true; },
             [&] {
                 hooks.started();
                 ChooseMenuEntry(&window, "解析スタート");
                 WhenTrue([&] { return HasRecordFor(url); },
                          [&] {
                              recorded = HasRecordFor(url);
                              hooks.recorded();
                              QApplication::exit(0);
                          },
                          timeoutMs);
             });
    QApplication::exec();
    CancelPendingActions();
    return recorded;
}
