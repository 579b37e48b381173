// Torvesk's main: the command line, then either the application and the main
// window, whose start dialog comes first, or a crawl without a window.
#include "shell/command_line.h"
#include "shell/main_window.h"
#include "shell/terminal_crawl.h"

#include <QApplication>
#include <QIcon>

#include <ctime>

namespace {

int RunWindow(int& argc, char** argv, std::uint32_t seed) {
    QApplication application(argc, argv);
    // The name the desktop entry and the icon are installed under.
    QApplication::setDesktopFileName(QStringLiteral("org.example.torvesk"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.torvesk"),
                                                 QIcon(QStringLiteral(":/icon.png"))));
    MainWindow window(seed, kResultLogName);
    window.show();
    return application.exec();
}

} // namespace

int main(int argc, char** argv) {
    const CommandLineAnswer answer = AnswerCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&answer))
        return *exitCode;
    // The generator is seeded with the clock's seconds unless a crawl names its seed.
    const auto clockSeed = static_cast<std::uint32_t>(std::time(nullptr));
    if (const CrawlRequest* crawl = std::get_if<CrawlRequest>(&answer))
        return RunTerminalCrawl(argc, argv, *crawl, crawl->seed.value_or(clockSeed));
    return RunWindow(argc, argv, clockSeed);
}
