// The real program's command line, run with no display at all, as over ssh
// without X: --help and --version answer, a mistake is one line on standard
// error and exit code 2, and Qt's own options still reach Qt.
#include "shell/command_line.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

constexpr int kRunTimeoutMs = 30000;

struct Finished {
    QProcess::ExitStatus status;
    int exitCode;
    QString out;
    QString err;
};

// Runs torvesk where opening a window aborts: no display, no platform chosen.
Finished RunWithoutDisplay(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([] { // an abort leaves no core file
        const rlimit none{0, 0};
        setrlimit(RLIMIT_CORE, &none);
    });
    process.start(QStringLiteral(TORVESK_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(kRunTimeoutMs)) << arguments.join(' ').toStdString();
    return {process.exitStatus(), process.exitCode(),
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(CommandLineTest, HelpAndVersionAnswerWithoutADisplay) {
    const QString version = QStringLiteral("torvesk " TORVESK_VERSION "\n");
    // Qt's options beside them are accepted, not answered.
    for (const QStringList& arguments : QList<QStringList>{
             {"--help"}, {"-h"}, {"--version"}, {"-style", "fusion", "-reverse", "-v"}}) {
        const Finished run = RunWithoutDisplay(arguments);
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, QString());
        EXPECT_TRUE(run.out == version || (run.out.startsWith("Usage: " TORVESK_PROGRAM) &&
                                           run.out.contains("--version")))
            << run.out.toStdString();
    }
}

TEST(CommandLineTest, AMistakeIsOneLineAndExitCodeTwo) {
    for (const QStringList& arguments :
         QList<QStringList>{{"--no-such-option"}, {"http://example.com/"}, {"--help", "-style"}}) {
        const Finished run = RunWithoutDisplay(arguments);
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, kCommandLineMistakeExitCode);
        EXPECT_EQ(run.out, QString());
        EXPECT_TRUE(run.err.startsWith("torvesk: ") && run.err.count('\n') == 1 &&
                    run.err.endsWith('\n'))
            << run.err.toStdString();
    }
}

// Without arguments, and with Qt's options, the program goes on to Qt, which
// here cannot open a window: it aborts, naming what it could not open.
TEST(CommandLineTest, QtGetsTheWindowSystemAndItsOptions) {
    const Finished plain = RunWithoutDisplay({});
    EXPECT_EQ(plain.status, QProcess::CrashExit);
    EXPECT_TRUE(plain.err.contains("display")) << plain.err.toStdString();
    const Finished platform = RunWithoutDisplay({"-style=fusion", "-platform", "no-such-platform"});
    EXPECT_EQ(platform.status, QProcess::CrashExit);
    EXPECT_TRUE(platform.err.contains("\"no-such-platform\"")) << platform.err.toStdString();
}

} // namespace
