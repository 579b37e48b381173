// The command line, answered before anything opens a display: --help and
// --version print and end the program, a mistake ends it with one line on
// standard error, --crawl asks for a crawl without a window, and Qt's own
// options stay in argv for QApplication.
#pragma once

#include "cli/crawl_request.h"

#include <variant>

namespace torvesk::app {

constexpr int kCommandLineMistakeExitCode = 2;

struct OpenWindow {};

// An exit code when the command line has been answered (--help, --version
// or a mistake), else the window or a crawl without one.
using CommandLineAnswer = std::variant<int, OpenWindow, cli::CrawlRequest>;

CommandLineAnswer AnswerCommandLine(int& argc, char** argv);

} // namespace torvesk::app
