// Torvesk's main: the command line, then the application and the main
// window, whose start dialog comes first.
#include "shell/command_line.h"
#include "shell/main_window.h"

#include <QApplication>
#include <QIcon>

#include <ctime>

namespace {

// Records go to this file in the directory Torvesk was started from.
constexpr char kResultLogName[] = "URL.csv";

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> exitCode = AnswerCommandLine(argc, argv))
        return *exitCode;
    QApplication application(argc, argv);
    // The name the desktop entry and the icon are installed under.
    QApplication::setDesktopFileName(QStringLiteral("org.example.torvesk"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.torvesk"),
                                                 QIcon(QStringLiteral(":/icon.png"))));
    MainWindow window(static_cast<std::uint32_t>(std::time(nullptr)), kResultLogName);
    window.show();
    return application.exec();
}
