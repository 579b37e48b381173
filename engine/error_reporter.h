// Where the engine's error lines go: what failed, for which URL, and why.
// The engine never prints; it hands each line to the reporter it was given,
// and the program that runs it decides where the line is shown.
#pragma once

#include <functional>
#include <string>

namespace torvesk::engine {

// Takes one line (without the program's name or a line end). Called from
// the fetch thread and the log thread, possibly at the same time, so it
// must be safe to call from any thread.
using ErrorReporter = std::function<void(const std::string& line)>;

// Writes "torvesk: line" and a line end to standard error in one write, so
// that lines from two threads never mix: the window's reporter, and the one
// of tests and tools that name none.
void ReportOnStandardError(const std::string& line);

} // namespace torvesk::engine
