// TerminalCrawl: the runner's lines printed as the screen decodes them, its
// progress drawn ten times a second, and the one way every crawl ends: the
// page in flight abandoned, the finished records written, a summary.
#include "cli/terminal_crawl.h"

#include "cli/progress_line.h"
#include "cli/stop_signals.h"
#include "crawl/crawl_runner.h"
#include "engine/descriptor.h"
#include "text/line_rules.h"

#include <QCoreApplication>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kProgressPeriodMs = 100; // at most ten redraws a second
// Where the records go for "--output -": through a RecordFile like any file,
// so that standard output gets the same whole records.
constexpr char kStandardOutput[] = "/dev/stdout";

enum class Ending { TableEmpty, PagesVisited, Signal, RecordsRefused, LinesRefused };

std::string RecordPath(const CrawlRequest& request) {
    return request.output == "-" ? kStandardOutput : request.output;
}

// Why no record could ever be appended at path, or nothing. It is opened as
// each record opens it, without writing; a FIFO that nobody reads yet is
// no such reason: its records are reported one by one, as in the window.
std::optional<std::string> CannotAppendTo(const std::string& path) {
    const Descriptor file(::open(
        path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666));
    if (file.get() >= 0 || errno == ENXIO)
        return std::nullopt;
    return std::strerror(errno);
}

// A results line as UTF-8 text on one line, decoded as the screen decodes it.
QByteArray TerminalText(std::string_view line) {
    return QString::fromStdU16String(ForTerminal(line)).toUtf8() + '\n';
}

bool Print(const QByteArray& text) {
    return std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout) ==
               static_cast<std::size_t>(text.size()) &&
           std::fflush(stdout) == 0;
}

const char* InWords(Ending ending, int signalNumber) {
    switch (ending) {
    case Ending::TableEmpty:
        return "no links left";
    case Ending::PagesVisited:
        return "the pages asked for are visited";
    case Ending::Signal:
        return signalNumber == SIGINT ? "interrupted" : "terminated";
    case Ending::RecordsRefused:
        return "standard output took no more records";
    case Ending::LinesRefused:
        return "standard output was closed";
    }
    return "";
}

std::string ProgressText(const CrawlProgress& progress, double seconds) {
    return QString::asprintf("%llu pages, %llu failed, %llu HTTP errors, %d waiting, "
                             "%.1f pages/s, %.1f s",
                             static_cast<unsigned long long>(progress.pagesVisited),
                             static_cast<unsigned long long>(progress.fetchesFailed),
                             static_cast<unsigned long long>(progress.httpErrors),
                             progress.linksWaiting, progress.pagesPerSecond, seconds)
        .toStdString();
}

// "1 page", "2 pages".
std::string Counted(std::uint64_t count, const char* thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string Summary(const CrawlProgress& done, double seconds, const char* why) {
    return "torvesk: " + Counted(done.pagesVisited, "page") + " (" +
           std::to_string(done.fetchesFailed) + " failed, " +
           Counted(done.httpErrors, "HTTP error") + ") in " +
           QString::number(seconds, 'f', 1).toStdString() + " s, " +
           Counted(done.records.written, "record") + " written, " +
           std::to_string(done.records.notWritten) + " not written; " + why + "\n";
}

class TerminalCrawl : public QObject {
public:
    TerminalCrawl(const CrawlRequest& request, StopSignals& stops);

    void start();

private:
    void showLine(const ResultsLine& line);
    bool print(const ResultsLine& line);
    void noteState(CrawlState state);
    void watch();
    bool recordsRefused();
    double seconds() const;
    void end(Ending ending, int signalNumber = 0);
    int exitCode(Ending ending, int signalNumber, bool flushed, const CrawlProgress& done) const;

    const CrawlRequest request_;
    const bool recordsToStandardOutput_;
    const bool printsLines_;
    const bool linesOnTerminal_; // standard output is a terminal
    StopSignals& stops_;
    CrawlRunner runner_;
    std::unique_ptr<ProgressLine> progress_; // while shown on a terminal
    QTimer watch_;
    std::uint64_t lines_ = 0;
    bool ending_ = false;
    Clock::time_point started_;
};

TerminalCrawl::TerminalCrawl(const CrawlRequest& request, StopSignals& stops)
    : request_(request), recordsToStandardOutput_(request.output == "-"),
      printsLines_(!request.quiet && !recordsToStandardOutput_),
      linesOnTerminal_(::isatty(STDOUT_FILENO) == 1), stops_(stops),
      runner_(RecordPath(request), request.seed) {
    if (request.intervalMs)
        runner_.setInterval(*request.intervalMs);
    connect(&runner_, &CrawlRunner::lineReady, this, &TerminalCrawl::showLine);
    connect(&runner_, &CrawlRunner::stateChanged, this, &TerminalCrawl::noteState);
    connect(&stops_, &StopSignals::arrived, this,
            [this](int number) { end(Ending::Signal, number); });
    connect(&watch_, &QTimer::timeout, this, &TerminalCrawl::watch);
}

// The start page with the KEY "スタートページ", then one page a tick, as the
// window's "解析スタート" does.
void TerminalCrawl::start() {
    std::fprintf(stderr, "torvesk: seed %u\n", static_cast<unsigned>(request_.seed));
    // Records the log thread writes to the same terminal would run through it.
    const bool recordsOnTerminal = recordsToStandardOutput_ && linesOnTerminal_;
    if (!request_.quiet && ::isatty(STDERR_FILENO) && !recordsOnTerminal)
        progress_ = std::make_unique<ProgressLine>();
    if (progress_ || recordsToStandardOutput_)
        watch_.start(kProgressPeriodMs);
    started_ = Clock::now();
    runner_.setStartUrl(request_.url);
    runner_.startCrawl();
    runner_.startTicking();
}

void TerminalCrawl::showLine(const ResultsLine& line) {
    ++lines_;
    if (printsLines_ && !print(line))
        return end(Ending::LinesRefused);
    if (request_.pages && lines_ >= *request_.pages)
        return end(Ending::PagesVisited);
    if (recordsRefused())
        end(Ending::RecordsRefused);
}

// Whether the line reached standard output.
bool TerminalCrawl::print(const ResultsLine& line) {
    const QByteArray text = TerminalText(line.text);
    if (!progress_ || !linesOnTerminal_)
        return Print(text);
    bool printed = false;
    progress_->printAbove([&] { printed = Print(text); });
    return printed;
}

void TerminalCrawl::noteState(CrawlState state) {
    if (state == CrawlState::Idle)
        end(Ending::TableEmpty);
}

void TerminalCrawl::watch() {
    if (progress_)
        progress_->show(ProgressText(runner_.progress(), seconds()));
    if (recordsRefused())
        end(Ending::RecordsRefused);
}

// Records to standard output end the crawl once its reader has gone.
bool TerminalCrawl::recordsRefused() {
    return recordsToStandardOutput_ && runner_.recordCounts().notWritten > 0;
}

double TerminalCrawl::seconds() const {
    return std::chrono::duration<double>(Clock::now() - started_).count();
}

// The page in flight is abandoned as quitting abandons it; the records of
// finished pages are written whole before the summary. Meanwhile a second
// signal ends the process at once.
void TerminalCrawl::end(Ending ending, int signalNumber) {
    if (ending_)
        return;
    ending_ = true;
    stops_.endAtOnce();
    runner_.stop();
    watch_.stop();
    progress_.reset();
    const bool flushed = runner_.flushRecords(kRecordsWait);
    const CrawlProgress done = runner_.progress();
    if (!request_.quiet)
        std::fputs(Summary(done, seconds(), InWords(ending, signalNumber)).c_str(), stderr);
    else if (done.records.notWritten > 0)
        std::fprintf(stderr, "torvesk: %s not written\n",
                     Counted(done.records.notWritten, "record").c_str());
    QCoreApplication::exit(exitCode(ending, signalNumber, flushed, done));
}

int TerminalCrawl::exitCode(Ending ending, int signalNumber, bool flushed,
                            const CrawlProgress& done) const {
    if (ending == Ending::Signal)
        return 128 + signalNumber;
    const bool lost = !flushed || done.records.notWritten > 0 || ending == Ending::RecordsRefused ||
                      ending == Ending::LinesRefused;
    return lost ? kRecordsLostExitCode : 0;
}

} // namespace

int RunTerminalCrawl(int& argc, char** argv, const CrawlRequest& request) {
    StopSignals stops; // first: every thread started later keeps them blocked
    // A reader that goes away fails a write (EPIPE) instead of ending the
    // program in the middle of a record.
    std::signal(SIGPIPE, SIG_IGN);
    if (const std::optional<std::string> why = CannotAppendTo(RecordPath(request))) {
        std::fprintf(stderr, "torvesk: cannot write records to %s: %s\n",
                     request.output == "-" ? "standard output" : request.output.c_str(),
                     why->c_str());
        return kRecordsLostExitCode;
    }
    QCoreApplication application(argc, argv);
    stops.listen();
    TerminalCrawl crawl(request, stops);
    crawl.start();
    return QCoreApplication::exec();
}
