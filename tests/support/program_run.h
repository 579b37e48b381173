// The real program run as a child process with no display at all, as over
// ssh without X: its environment holds no DISPLAY, WAYLAND_DISPLAY,
// XDG_SESSION_TYPE or QT_QPA_PLATFORM, and an abort leaves no core file.
#pragma once

#include <QProcess>
#include <gtest/gtest.h>

#include <functional>
#include <sys/resource.h>

// For a run that takes a second at most.
constexpr int kRunTimeoutMs = 30000;

struct Finished {
    QProcess::ExitStatus status;
    int exitCode;
    QByteArray out;
    QByteArray err;
};

// Starts torvesk with arguments in directory (the test's own when empty);
// inChild runs in the child just before the program starts.
inline void StartWithoutDisplay(QProcess& process, const QStringList& arguments,
                                const QString& directory = {},
                                const std::function<void()>& inChild = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(directory);
    process.setChildProcessModifier([inChild] {
        const rlimit none{0, 0};
        setrlimit(RLIMIT_CORE, &none);
        if (inChild)
            inChild();
    });
    process.start(QStringLiteral(TORVESK_PROGRAM), arguments);
}

// Waits until the program has ended (if it has not yet); its outputs, byte
// for byte.
inline Finished WaitForExit(QProcess& process) {
    EXPECT_TRUE(process.state() == QProcess::NotRunning || process.waitForFinished(kRunTimeoutMs))
        << process.arguments().join(' ').toStdString();
    return {process.exitStatus(), process.exitCode(), process.readAllStandardOutput(),
            process.readAllStandardError()};
}

inline Finished RunWithoutDisplay(const QStringList& arguments, const QString& directory = {}) {
    QProcess process;
    StartWithoutDisplay(process, arguments, directory);
    return WaitForExit(process);
}
