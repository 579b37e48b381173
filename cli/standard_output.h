// Standard output as the crawl without a window meets it: what kind of
// file it is, whether its reader has gone, where the records go (the
// descriptor inherited for "-", a FIFO opened once), and the end a pipe's
// writer meets when nobody reads.
#pragma once

#include "cli/crawl_request.h"
#include "engine/record_file.h"

#include <csignal>
#include <string>
#include <variant>

namespace torvesk::cli {

constexpr char kStandardOutputName[] = "standard output";
// What a shell reports when standard output's reader has gone: the
// program ends by SIGPIPE, at once and without a word, as Unix tools do.
constexpr int kReaderGoneExitCode = 128 + SIGPIPE;

// A terminal, a pipe or socket (whose reader may go away, and whose bytes
// may reach the same terminal through another program), or anything else
// (a file, /dev/null).
enum class OutputKind { Terminal, Stream, Other };

OutputKind StandardOutputKind();
// Whether descriptor 1 is open at all.
bool StandardOutputOpen();
// Whether a pipe's or socket's reader has gone; never for another kind.
bool ReaderGone();
// Ends the process by SIGPIPE, as a write to a pipe without reader would.
[[noreturn]] void EndAsReaderGone();

// Where the records request asks for go, or why none could ever be
// appended there.
std::variant<engine::RecordTarget, std::string> RecordTargetFor(const CrawlRequest& request);

} // namespace torvesk::cli
