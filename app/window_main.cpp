// torvesk-window's main: the application in the desktop's language and the
// main window, whose start dialog comes first. torvesk has read the command
// line already; Qt's own options are still in argv for QApplication.
#include "crawl/crawl_runner.h"
#include "shell/interface_language.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QIcon>

#include <ctime>

using namespace torvesk::engine;
using namespace torvesk::crawl;
using namespace torvesk::shell;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The name the desktop entry and the icon are installed under.
    QApplication::setDesktopFileName(QStringLiteral("org.example.torvesk"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.torvesk"),
                                                 QIcon(QStringLiteral(":/icon.png"))));
    const auto translation =
        InstallTranslation([](const char* name) { return qEnvironmentVariable(name); });
    // The generator is seeded with the clock's seconds.
    MainWindow window(static_cast<std::uint32_t>(std::time(nullptr)), kResultLogName);
    window.show();
    return QApplication::exec();
}
