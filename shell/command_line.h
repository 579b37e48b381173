// The command line, answered before anything opens a display: --help and
// --version print and end the program, a mistake ends it with one line on
// standard error, and Qt's own options stay in argv for QApplication.
#pragma once

#include <optional>

constexpr int kCommandLineMistakeExitCode = 2;

// The exit code when the command line has been answered (--help, --version
// or a mistake); nothing when the window should start.
std::optional<int> AnswerCommandLine(int& argc, char** argv);
