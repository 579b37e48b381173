// The command line, answered before anything opens a display: --help and
// --version print and end the program, a mistake ends it with one line on
// standard error, --crawl asks for a crawl without a window, and Qt's own
// options stay in argv for QApplication.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

constexpr int kCommandLineMistakeExitCode = 2;
// Records go to this file in the directory Torvesk was started from.
constexpr char kResultLogName[] = "URL.csv";
// The longest tick --interval takes: one hour.
constexpr std::uint64_t kMaxIntervalMs = 3600000;

// A crawl without a window, as the command line asks for it.
struct CrawlRequest {
    std::string url;                     // the start address, byte for byte as given
    std::optional<std::uint64_t> pages;  // stop after this many pages
    std::optional<std::uint32_t> seed;   // the clock's seconds when not given
    std::string output = kResultLogName; // "-": standard output
    std::optional<int> intervalMs;       // the window's tick when not given
    bool quiet = false;
};

struct OpenWindow {};

// An exit code when the command line has been answered (--help, --version
// or a mistake), else the window or a crawl without one.
using CommandLineAnswer = std::variant<int, OpenWindow, CrawlRequest>;

CommandLineAnswer AnswerCommandLine(int& argc, char** argv);
