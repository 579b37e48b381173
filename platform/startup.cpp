// Program start-up on Qt: the QApplication, then the entry function.
#include "startup.h"

#include <QApplication>

int RunWindowsProgram(int argc, char** argv, HINSTANCE instance, int showCommand,
                      EntryFunction entry) {
    QApplication application(argc, argv);
    return entry(instance, showCommand);
}
