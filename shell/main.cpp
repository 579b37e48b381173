// Torvesk's main: the application, then the main window, whose start
// dialog comes first.
#include "shell/main_window.h"

#include <QApplication>
#include <QStyle>

#include <ctime>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setWindowIcon(application.style()->standardIcon(QStyle::SP_DesktopIcon));
    MainWindow window(static_cast<std::uint32_t>(std::time(nullptr)));
    window.show();
    return application.exec();
}
