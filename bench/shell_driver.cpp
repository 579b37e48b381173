// The download driven through the program's window: the main window is made
// as at start-up with its start dialog answered with the page's URL, and
// "解析スタート" is chosen from the menu as a user chooses it.
#include "bench/download_driver.h"

#include "shell/main_window.h"
#include "shell/ui_driver.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <ctime>
#include <fstream>
#include <iterator>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

namespace {

// A record is a line that starts with the URL and a comma.
bool HasRecordFor(const std::string& logPath, const std::string& url) {
    std::ifstream log(logPath, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(log), {});
    const std::string start = url + ",";
    return text.starts_with(start) || text.find("\n" + start) != std::string::npos;
}

} // namespace

bool CrawlOnePage(const std::string& url, const DownloadHooks& hooks, int timeoutMs) {
    PendingActions actions;
    actions.WhenModalShows([url](QWidget* dialog) {
        UrlField(dialog)->setText(QString::fromStdString(url));
        ClickButton(dialog, "OK");
    });
    QTemporaryDir logDir;
    const std::string logPath = logDir.filePath("URL.csv").toStdString();
    MainWindow window(static_cast<std::uint32_t>(std::time(nullptr)), logPath);
    window.show();
    bool recorded = false;
    actions.WhenTrue([] { return true; },
                     [&] {
                         hooks.started();
                         ChooseMenuEntry(&window, "解析スタート");
                         actions.WhenTrue([&] { return HasRecordFor(logPath, url); },
                                          [&] {
                                              recorded = HasRecordFor(logPath, url);
                                              hooks.recorded();
                                              QApplication::exit(0);
                                          },
                                          timeoutMs);
                     });
    QApplication::exec();
    return recorded;
}
