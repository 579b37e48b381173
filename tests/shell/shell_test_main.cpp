// main() for the shell tests: a Qt Widgets application on
// the offscreen platform, run from a fresh temporary directory so URL.csv
// lands there.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir workDirectory;
    if (!workDirectory.isValid() || !QDir::setCurrent(workDirectory.path()))
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
